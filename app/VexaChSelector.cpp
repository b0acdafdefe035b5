#include "app/VexaChSelector.h"

#include <QCoreApplication>
#include <QImage>

#include "app/EngineText.h"
#include "data/AlgLastSel.h"
#include "data/AlgorithmTable.h"
#include "data/ArticModel.h"
#include "data/NameTables.h"
#include "data/VexaChInfo.h"
#include "data/VexaVoiceCatalog.h"

namespace {

constexpr int kFirstDrumCategory20 = 16;

// Whether this channel's message lets it be switched on: convertible and, to
// stay on after a new recommendation, nothing to tell the user.
bool MayStayOn(const CVexaChInfo& info) {
    CString text;
    return info.GetMessage(text) != 0 && text.IsEmpty();
}

bool IsDrumCategoryName(const CString& category20) {
    for (int c = kFirstDrumCategory20; c < kCategoryCount20; ++c) {
        if (category20 == CategoryNames20[c]) return true;
    }
    return false;
}

void AppendUnique(QStringList* names, const CString& name) {
    const QString text = FromEngineText(name);
    if (!text.isEmpty() && !names->contains(text, Qt::CaseSensitive)) names->append(text);
}

}  // namespace

CVexaChSelector::CVexaChSelector() : m_pCatalog(std::make_shared<CVexaVoiceCatalog>()) {
    ::ResetAlgLastSel();
    InitAlgLastSel();
}

CVexaChSelector::~CVexaChSelector() = default;

CVexaChInfo* CVexaChSelector::Channel(BYTE channel) const {
    if (!m_pCatalog || channel >= m_pCatalog->GetChannelCount()) return nullptr;
    return m_pCatalog->GetChannel(channel);
}

int CVexaChSelector::ResetChannels() {
    if (!m_pCatalog) return kNoObject;
    m_pCatalog->ResetChannels();
    return 0;
}

int CVexaChSelector::SetChannelInfo(BYTE channel, const ChannelFacts& facts) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    info->SetFacts(facts);
    return ApplyRecommendation(channel);
}

int CVexaChSelector::ApplyRecommendation(BYTE channel) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    info->SetRecommendedTarget();
    if (!MayStayOn(*info)) info->m_On = 0;
    return 0;
}

int CVexaChSelector::SetChannelOn(BYTE channel, bool on) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    CString text;
    if (info->GetMessage(text) == 0) return kFailed;
    if (!on) {
        info->m_On = 0;
        return 0;
    }
    // The worker converts with the selected row, its script and its voice
    // bytes: never on without a row the model has (a row it lacks gives way
    // to the default target).
    const int selected = int(info->m_SelectedRow);
    const int row = info->HasRow(selected) ? selected : info->GetDefaultTarget();
    if (!info->HasRow(row)) return kFailed;
    if (row != selected) info->SelectRow(row);
    info->m_On = 1;
    return 0;
}

int CVexaChSelector::SetTargetByName(BYTE channel, const QString& name) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    CString engineName;
    if (!ToEngineText(name, &engineName)) return kFailed;
    const CProgramAfter* offer = FindOfferByName(*info, engineName);
    if (!offer) return kFailed;
    // An offer built before the model's names changed no longer names a row.
    const int row = offer->FindAlgIndex();
    if (!IsTargetRow(row)) return kFailed;
    info->m_TargetBankMsb = offer->m_BankMsb;
    info->m_TargetBankLsb = offer->m_BankLsb;
    info->m_TargetProgram = offer->m_Program;
    info->m_SelectedRow = row;
    SetAlgLastSel(UINT(info->m_RecommendCategory), UINT(row));
    return 0;
}

int CVexaChSelector::GetChannelMessage(BYTE channel, bool* convertible, QString* text) {
    if (convertible) *convertible = false;
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    CString message;
    const int result = info->GetMessage(message);
    if (convertible) *convertible = result != 0;
    if (text) *text = FromEngineText(message);
    return 0;
}

int CVexaChSelector::IsChannelOn(BYTE channel, bool* on) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    if (on) *on = info->m_On != 0;
    return 0;
}

int CVexaChSelector::GetTarget(BYTE channel, BYTE* bankMsb, BYTE* bankLsb, BYTE* program, int* row, bool* option) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    if (bankMsb) *bankMsb = info->m_TargetBankMsb;
    if (bankLsb) *bankLsb = info->m_TargetBankLsb;
    if (program) *program = info->m_TargetProgram;
    if (row) *row = int(info->m_SelectedRow);
    if (option) *option = info->m_Option != 0;
    return 0;
}

int CVexaChSelector::GetChannelVoice(BYTE channel, BYTE* bankMsb, BYTE* bankLsb, BYTE* program) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    if (bankMsb) *bankMsb = info->m_BankMsb;
    if (bankLsb) *bankLsb = info->m_BankLsb;
    if (program) *program = info->m_Program;
    return 0;
}

int CVexaChSelector::GetPartMode(BYTE channel, BYTE* partMode) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    if (partMode) *partMode = info->m_PartMode;
    return 0;
}

int CVexaChSelector::HasAlternatives(BYTE channel, bool* alternatives) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    if (alternatives) *alternatives = info->m_Alternatives != 0;
    return 0;
}

int CVexaChSelector::IsDrumKitTarget(BYTE channel, bool* drumKit) {
    if (drumKit) *drumKit = false;
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    if (drumKit) *drumKit = info->IsDrumKitTarget();
    return 0;
}

int CVexaChSelector::GetDrumNoteSet(BYTE channel, DrumNoteSet* notes) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    if (!IsTargetRow(int(info->m_SelectedRow))) return kFailed;
    if (notes) *notes = AlgorithmTable[info->m_SelectedRow].drumNotes;
    return 0;
}

const CProgramAfter* CVexaChSelector::FindSelectedOffer(const CVexaChInfo& info) const {
    if (!info.m_pAllOffers) return nullptr;
    const int selected = int(info.m_SelectedRow);
    if (selected < -1) return nullptr;
    const CString defaultName = selected == -1 ? info.GetTargetName(info.GetDefaultTarget()) : CString();
    for (const auto& offer : *info.m_pAllOffers) {
        if (!offer) continue;
        if (selected >= 0 ? offer->FindAlgIndex() == selected : offer->m_DisplayName == defaultName) return offer.get();
    }
    return nullptr;
}

const CProgramAfter* CVexaChSelector::FindOfferByName(const CVexaChInfo& info, const CString& name) const {
    if (!info.m_pAllOffers) return nullptr;
    for (const auto& offer : *info.m_pAllOffers) {
        if (offer && offer->m_DisplayName == name) return offer.get();
    }
    return nullptr;
}

int CVexaChSelector::GetTargetName(BYTE channel, QString* name) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    const CProgramAfter* offer = FindSelectedOffer(*info);
    const CString text = offer ? offer->m_DisplayName : info->GetTargetName(info->GetDefaultTarget());
    if (name) *name = FromEngineText(text);
    return 0;
}

int CVexaChSelector::GetSelectedCategoryName(BYTE channel, QString* name) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    if (const CProgramAfter* offer = FindSelectedOffer(*info)) {
        if (name) *name = FromEngineText(offer->m_Category20Name);
    }
    return 0;
}

int CVexaChSelector::GetIcon(BYTE channel, bool on, QString* path) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    const CProgramAfter* offer = FindSelectedOffer(*info);
    if (!offer) return kFailed;
    CString fileName;
    if (!GetInstIconFileName(int(on ? offer->m_IconOn : offer->m_IconOff), &fileName)) return kFailedMore;
    if (path) *path = FromEngineText(CString(kInstIconFolder) + fileName);
    return 0;
}

int CVexaChSelector::GetIconOff(BYTE channel, QString* path) { return GetIcon(channel, false, path); }
int CVexaChSelector::GetIconOn(BYTE channel, QString* path) { return GetIcon(channel, true, path); }

template <class Accept>
int CVexaChSelector::AppendOfferNames(BYTE channel, bool sameCategory, QStringList* names, Accept accept) {
    CVexaChInfo* info = Channel(channel);
    if (!info) return kNoObject;
    const CVexaChInfo::OfferList* offers = sameCategory ? info->m_pSameCategoryOffers.get() : info->m_pAllOffers.get();
    if (!offers) return kFailed;
    for (const auto& offer : *offers) {
        if (!offer) return kFailedMore;
        if (names && accept(*offer)) AppendUnique(names, accept.name(*offer));
    }
    return 0;
}

namespace {

// What a popup list takes of an offer, and which offers it takes.
struct DisplayNames {
    bool operator()(const CProgramAfter&) const { return true; }
    const CString& name(const CProgramAfter& offer) const { return offer.m_DisplayName; }
};

struct CategoryNamesOfKind {
    bool drum;
    bool operator()(const CProgramAfter& offer) const { return IsDrumCategoryName(offer.m_Category20Name) == drum; }
    const CString& name(const CProgramAfter& offer) const { return offer.m_Category20Name; }
};

struct TargetsOfCategory {
    CString category;
    bool known = false;  // false: a name without a CP932 form, which no category has
    bool operator()(const CProgramAfter& offer) const { return known && offer.m_Category20Name == category; }
    const CString& name(const CProgramAfter& offer) const { return offer.m_DisplayName; }
};

}  // namespace

int CVexaChSelector::GetSameCategoryNames(BYTE channel, QStringList* names) {
    return AppendOfferNames(channel, true, names, DisplayNames{});
}

int CVexaChSelector::GetCategoryNames(BYTE channel, QStringList* names, bool drum) {
    return AppendOfferNames(channel, false, names, CategoryNamesOfKind{drum});
}

int CVexaChSelector::GetCategoryTargetNames(BYTE channel, const QString& category, QStringList* names) {
    TargetsOfCategory accept;
    accept.known = ToEngineText(category, &accept.category);
    return AppendOfferNames(channel, false, names, accept);
}

int CVexaChSelector::GetAllTargetNames(BYTE channel, QStringList* names) {
    return AppendOfferNames(channel, false, names, DisplayNames{});
}

int CVexaChSelector::LoadModels() { return LoadModels(QCoreApplication::applicationDirPath()); }

int CVexaChSelector::LoadModels(const QString& folder) {
    if (!m_pCatalog) return kNoObject;
    QString withSeparator = folder;
    if (!withSeparator.endsWith(QLatin1Char('/'))) withSeparator += QLatin1Char('/');
    return m_pCatalog->LoadModels(withSeparator.toStdU16String()) == 0 ? 0 : kFailed;
}

int CVexaChSelector::GetModelNameList(QStringList* names) {
    if (!m_pCatalog) return kNoObject;
    std::vector<CString> loaded;
    m_pCatalog->GetModelNameList(&loaded);
    if (names) {
        for (const CString& name : loaded) names->append(FromEngineText(name));
    }
    return 0;
}

int CVexaChSelector::GetModelName(QString* name) {
    if (!m_pCatalog) return kNoObject;
    if (name) *name = FromEngineText(m_pCatalog->m_SelectedModelName);
    return 0;
}

int CVexaChSelector::SetModel(const QString& name) {
    if (!m_pCatalog) return kNoObject;
    CString engineName;
    if (!ToEngineText(name, &engineName)) return kFailed;
    const CArticModel* model = m_pCatalog->FindModel(engineName);
    if (!model) return kFailed;
    m_pCatalog->m_SelectedModelName = engineName;
    m_pCatalog->UpdateTargetNames(IsOlderModelName(engineName), model->GetGeneration());
    return 0;
}

int CVexaChSelector::GetModelPicture(QPixmap* pixmap) {
    if (!m_pCatalog) return kNoObject;
    const CArticModel* model = m_pCatalog->GetCurrentModel();
    if (!model) return kFailed;
    if (model->m_Picture.size() < size_t(kModelPictureSize)) {
        if (pixmap) *pixmap = QPixmap();
        return kFailedMore;
    }
    // Stored bottom row first, each pixel blue, green, red.
    QImage image(kModelPictureWidth, kModelPictureHeight, QImage::Format_RGB888);
    for (int y = 0; y < kModelPictureHeight; ++y) {
        const BYTE* source = model->m_Picture.data() + size_t(kModelPictureHeight - 1 - y) * kModelPictureStride;
        uchar* target = image.scanLine(y);
        for (int x = 0; x < kModelPictureWidth; ++x) {
            target[3 * x] = source[3 * x + 2];
            target[3 * x + 1] = source[3 * x + 1];
            target[3 * x + 2] = source[3 * x];
        }
    }
    if (pixmap) *pixmap = QPixmap::fromImage(image);
    return 0;
}

int CVexaChSelector::GetProgramName(BYTE bankMsb, BYTE bankLsb, BYTE program, QString* name) {
    if (!m_pCatalog) return kNoObject;
    if (name) *name = FromEngineText(m_pCatalog->GetProgramName(bankMsb, bankLsb, program));
    return 0;
}

int CVexaChSelector::GetDrumVoiceName(BYTE bankMsb, BYTE bankLsb, BYTE program, BYTE note, QString* name) {
    if (!m_pCatalog) return kNoObject;
    if (name) *name = FromEngineText(m_pCatalog->GetDrumVoiceName(bankMsb, bankLsb, program, note));
    return 0;
}

int CVexaChSelector::ResetAlgLastSel() {
    if (!m_pCatalog) return kNoObject;
    ::ResetAlgLastSel();
    return 0;
}

int CVexaChSelector::GetAlgLastSelAll(AlgLastSelValues* values) {
    if (values) {
        for (size_t c = 0; c < values->size(); ++c) (*values)[c] = int(GetAlgLastSel(UINT(c)));
    }
    return 0;
}

int CVexaChSelector::SetAlgLastSelAll(const AlgLastSelValues& values) {
    // A row the current model lacks is not remembered: it could be recommended
    // but never converted with its own voice.
    const CArticModel* model = m_pCatalog ? m_pCatalog->GetCurrentModel() : nullptr;
    for (size_t c = 0; c < values.size(); ++c) {
        if (model && !CVexaChInfo::ModelHasRow(model, values[c])) continue;
        SetAlgLastSel(UINT(c), UINT(values[c]));
    }
    return 0;
}
