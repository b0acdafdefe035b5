#include "data/VexaChInfo.h"

#include <typeinfo>

#include "data/AlgLastSel.h"
#include "data/AlgorithmTable.h"
#include "data/ArticModel.h"
#include "data/VexaVoiceCatalog.h"
#include "data/VoiceAddressTable.h"

namespace {

constexpr int kStringsCategory23 = 13;
constexpr int kFirstDrumCategory20 = 16;
constexpr int kFirstDrumCategory23 = 19;
constexpr int kLastDrumCategory23 = 22;
constexpr int kFirstScatRow = 60;
constexpr int kLastScatRow = 71;
constexpr int kSteelGuitarVoice = 1;
constexpr int kSteelGuitarRow = 5;
constexpr int kRockDrumKitVoice = 73;
constexpr int kRockDrumKitRow = 127;

const char kNoNotesText[] = "The Channel which has no note event can't be converted.";
const char kSeveralProgramsText[] = "The Channel which has several program can't be converted.";
const char kVexaVoiceText[] = "The Channel which has VexaVoice program can't be converted.";
const char kStringsWarning[] =
    "Channels with strings parts containing notes lower than B0 should not be converted to a Strings Vexa "
    "Voice;\r\nthe resulting sound may not be realistic.";
const char kScatWarning[] =
    "Channels with parts containing notes lower than B-1 should not be converted to a PopVocal Vexa "
    "Voice;\r\nthe resulting sound may not be correct note.";

bool IsTableRow(int row) { return row >= 0 && row < kAlgorithmRowCount; }

bool PlaysVoice(int row) {
    return IsTableRow(row) && AlgorithmTable[row].voiceIndex >= 0 && AlgorithmTable[row].voiceIndex < kVoiceCount;
}

bool HasRecommendCategory(int row) {
    return IsTableRow(row) && AlgorithmTable[row].recommendCategory >= 0 &&
           AlgorithmTable[row].recommendCategory < kRecommendCategoryCount;
}

}  // namespace

CVexaChInfo::CVexaChInfo(CVexaVoiceCatalog* catalog, const std::vector<CString>* targetNames)
    : m_pCatalog(catalog), m_pTargetNames(targetNames) {
    Reset();
}

CVexaChInfo::~CVexaChInfo() = default;

void CVexaChInfo::Reset() {
    m_Channel = 0;
    SetFacts(ChannelFacts());
    m_Option = 0;
    m_AppliedRow = 0;
    m_RecommendCategory = -1;
    m_Alternatives = 0;
    m_On = 0;
    SetTargetAddress(kNoVoiceEntry);
    m_SelectedRow = 0;
    if (!m_pSameCategoryOffers) m_pSameCategoryOffers = std::make_unique<OfferList>();
    if (!m_pAllOffers) m_pAllOffers = std::make_unique<OfferList>();
}

void CVexaChInfo::SetFacts(const ChannelFacts& facts) {
    m_BankMsb = facts[ChannelFacts::kBankMsb];
    m_BankLsb = facts[ChannelFacts::kBankLsb];
    m_Program = facts[ChannelFacts::kProgram];
    m_SeveralPrograms = facts[ChannelFacts::kSeveralVoices];
    m_NoNotes = facts[ChannelFacts::kNoNotes];
    m_VexaVoice = facts[ChannelFacts::kVexaVoice];
    m_Below36 = facts[ChannelFacts::kBelow36];
    m_Below24 = facts[ChannelFacts::kBelow24];
    m_PartMode = facts[ChannelFacts::kPartMode];
}

const CArticModel* CVexaChInfo::CurrentModel() const { return m_pCatalog ? m_pCatalog->GetCurrentModel() : nullptr; }

void CVexaChInfo::SetTargetAddress(int voice) {
    const VoiceAddress& address = VoiceAddressTable[voice];
    m_TargetBankMsb = address.bankMsb;
    m_TargetBankLsb = address.bankLsb;
    m_TargetProgram = address.program;
}

bool CVexaChInfo::IsDrumPart() const {
    const CArticModel* model = CurrentModel();
    if (!model || !model->HasDrumKit()) return false;
    if (IsTableRow(m_AppliedRow)) return AlgorithmTable[m_AppliedRow].category20 >= kFirstDrumCategory20;
    return m_BankMsb == kDrumKitBankMsb;
}

bool CVexaChInfo::ModelHasRow(const CArticModel* model, int row) {
    return model && IsTargetRow(row) && PlaysVoice(row) && model->HasVoice(UINT(AlgorithmTable[row].voiceIndex));
}

bool CVexaChInfo::HasRow(int row) const { return ModelHasRow(CurrentModel(), row); }

int CVexaChInfo::RememberedRow(int row) const {
    if (!HasRecommendCategory(row)) return row;
    const int remembered = int(GetAlgLastSel(UINT(AlgorithmTable[row].recommendCategory)));
    return HasRow(remembered) ? remembered : row;
}

int CVexaChInfo::DefaultRowForVoice(int voice) const {
    for (int row = 0; row < kFirstGroupRow; ++row) {
        if (AlgorithmTable[row].voiceIndex == voice) return RememberedRow(row);
    }
    return -1;
}

void CVexaChInfo::SelectRow(int row) {
    if (!HasRow(row)) return;
    SetTargetAddress(int(AlgorithmTable[row].voiceIndex));
    m_SelectedRow = row;
    m_AppliedRow = row;
    BuildCandidates();
}

int CVexaChInfo::GetDefaultTarget() const {
    const CArticModel* model = CurrentModel();
    if (!model) return -1;
    if (IsDrumPart() && model->HasVoice(kRockDrumKitVoice)) return RememberedRow(kRockDrumKitRow);
    if (model->HasVoice(kSteelGuitarVoice)) return kSteelGuitarRow;
    for (int voice = 0; voice < kVoiceCount; ++voice) {
        if (model->HasVoice(UINT(voice))) return DefaultRowForVoice(voice);
    }
    return -1;
}

void CVexaChInfo::SetTarget(int row) {
    const CArticModel* model = CurrentModel();
    if (!model) return;
    m_On = 0;
    m_TargetBankMsb = m_TargetBankLsb = m_TargetProgram = 0;
    m_SelectedRow = row;
    m_RecommendCategory = -1;
    m_Alternatives = 0;
    const int voice = IsTargetRow(row) ? int(AlgorithmTable[row].voiceIndex) : -1;
    if (!IsTargetRow(row) || voice < 0 || voice >= kVoiceCount || !model->HasVoice(UINT(voice))) {
        // No target: the bytes show what the default target would play.
        const int fallback = GetDefaultTarget();
        if (PlaysVoice(fallback)) SetTargetAddress(int(AlgorithmTable[fallback].voiceIndex));
    } else {
        const AlgorithmEntry& entry = AlgorithmTable[row];
        m_On = 1;
        SetTargetAddress(voice);
        m_RecommendCategory = entry.recommendCategory;
        int sharing = 0;
        for (int other = 0; other < kFirstGroupRow; ++other) {
            const AlgorithmEntry& o = AlgorithmTable[other];
            if (o.category23 == entry.category23 && model->HasVoice(UINT(o.voiceIndex))) ++sharing;
        }
        m_Alternatives = sharing > 1 ? 1 : 0;
        m_SelectedRow = RememberedRow(row);
    }
    m_AppliedRow = m_SelectedRow;
    BuildCandidates();
}

void CVexaChInfo::SetRecommendedTarget() {
    const CArticModel* model = CurrentModel();
    int row = -1;
    if (model) {
        if (const CProConvTable* record = model->FindProConv(m_BankMsb, m_BankLsb, m_Program))
            row = DefaultRowForVoice(int(record->m_VoiceIndex));
    }
    SetTarget(row);
    // A row replaced by its category's last choice: the bytes, categories and
    // offers become that row's.
    if (m_SelectedRow != row) SetTarget(int(m_SelectedRow));
}

namespace {

// Puts the description of `row` at `index` of `offers` and returns it. An
// offer already there that is a plain description, as the lists are built
// of, takes the new values in place: every target choice rebuilds the lists,
// and making each of their couple of hundred offers anew was most of its cost.
CProgramAfter& PlaceOffer(CVexaChInfo::OfferList& offers, size_t index, UINT row,
                          const std::vector<CString>* names) {
    if (index < offers.size() && offers[index] && typeid(*offers[index]) == typeid(CProgramAfter)) {
        *offers[index] = CProgramAfter(row, names);
    } else if (index < offers.size()) {
        offers[index] = std::make_unique<CProgramAfter>(row, names);
    } else {
        offers.push_back(std::make_unique<CProgramAfter>(row, names));
    }
    return *offers[index];
}

}  // namespace

void CVexaChInfo::BuildCandidates() {
    const CArticModel* model = CurrentModel();
    if (!model || !m_pSameCategoryOffers || !m_pAllOffers) return;
    const int around = m_SelectedRow == -1 ? GetDefaultTarget() : int(m_SelectedRow);
    const LONG category23 = IsTableRow(around) ? AlgorithmTable[around].category23 : -1;
    size_t same = 0, all = 0;
    for (int row = 0; row < kFirstGroupRow; ++row) {
        if (!model->HasVoice(UINT(AlgorithmTable[row].voiceIndex))) continue;
        if (category23 != -1 && AlgorithmTable[row].category23 == category23)
            PlaceOffer(*m_pSameCategoryOffers, same++, UINT(row), m_pTargetNames);
        PlaceOffer(*m_pAllOffers, all++, UINT(row), m_pTargetNames);
    }
    // The group entries: the channel's own kind first, the other kind marked.
    const bool drum = IsDrumPart();
    auto addGroup = [this, &same](int row, bool marked) {
        CProgramAfter& offer = PlaceOffer(*m_pSameCategoryOffers, same++, UINT(row), m_pTargetNames);
        if (marked) offer.m_DisplayName = "* " + GetTargetName(row);
    };
    if (drum) {
        addGroup(kOtherDrumRow, false);
        addGroup(kOtherNormalRow, true);
    } else {
        addGroup(kOtherNormalRow, false);
        if (model->HasDrumKit()) addGroup(kOtherDrumRow, true);
    }
    // What the last build had beyond this one's offers goes.
    m_pSameCategoryOffers->resize(same);
    m_pAllOffers->resize(all);
}

CString CVexaChInfo::GetTargetName(int row) const {
    if (!IsTableRow(row) || !m_pTargetNames || size_t(row) >= m_pTargetNames->size()) return CString();
    return (*m_pTargetNames)[size_t(row)];
}

int CVexaChInfo::GetMessage(CString& text) const {
    text.Empty();
    if (m_NoNotes) {
        text = kNoNotesText;
        return 0;
    }
    if (m_SeveralPrograms) {
        text = kSeveralProgramsText;
        return 0;
    }
    if (m_VexaVoice) {
        text = kVexaVoiceText;
        return 0;
    }
    if (m_Below36 && IsStringsTarget() && m_pCatalog && !m_pCatalog->HasNewStringsVoice()) text += kStringsWarning;
    if (m_Below24 && IsScatVocalTarget()) text += kScatWarning;
    return 1;
}

bool CVexaChInfo::IsStringsTarget() const {
    return IsTargetRow(m_SelectedRow) && AlgorithmTable[m_SelectedRow].category23 == kStringsCategory23;
}

bool CVexaChInfo::IsScatVocalTarget() const { return m_SelectedRow >= kFirstScatRow && m_SelectedRow <= kLastScatRow; }

bool CVexaChInfo::IsDrumKitTarget() const {
    if (!IsTargetRow(m_SelectedRow)) return false;
    const LONG category = AlgorithmTable[m_SelectedRow].category23;
    return category >= kFirstDrumCategory23 && category <= kLastDrumCategory23;
}
