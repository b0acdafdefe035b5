#include "data/VexaVoiceCatalog.h"

#include "data/AlgorithmTable.h"
#include "data/NameTables.h"
#include "platform/FolderList.h"

namespace {

constexpr BYTE kLastOlderGeneration = 4;
constexpr BYTE kFirstNewStringsGeneration = 5;
constexpr int kStringsRowCategory23 = 13;

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

std::u16string LowerAscii(std::u16string text) {
    for (char16_t& c : text) c = LowerAscii(c);
    return text;
}

// A model file's name: more than three characters, the last three "exm" as written.
bool HasModelExtension(const std::u16string& name) {
    return name.size() > 3 && name.compare(name.size() - 3, 3, u"exm") == 0;
}

}  // namespace

CVexaVoiceCatalog::CVexaVoiceCatalog() {
    InitTargetNames();
    CreateChannels();
}

CVexaVoiceCatalog::~CVexaVoiceCatalog() {
    DeleteModelList();
    m_pChannels.reset();
}

void CVexaVoiceCatalog::InitTargetNames() {
    m_pModels.reset();
    m_pChannels.reset();
    m_SelectedModelName.Empty();
    CopyTableNames();
}

void CVexaVoiceCatalog::CopyTableNames() {
    m_TargetNames.resize(kAlgorithmRowCount);
    for (int row = 0; row < kAlgorithmRowCount; ++row) m_TargetNames[size_t(row)] = AlgorithmTable[row].displayName;
}

void CVexaVoiceCatalog::CreateChannels() {
    if (m_pChannels) return;
    m_pChannels = std::make_unique<ChannelList>();
    for (int channel = 0; channel < kChannelCount; ++channel)
        m_pChannels->push_back(std::make_unique<CVexaChInfo>(this, &m_TargetNames));
}

void CVexaVoiceCatalog::DeleteModelList() { m_pModels.reset(); }

int CVexaVoiceCatalog::LoadModels(const std::u16string& folder) {
    DeleteModelList();
    m_pModels = std::make_unique<ModelList>();
    bool anyScanLoaded = false;
    for (const char16_t* family : ModelFamilyNames) {
        if (ScanModelFiles(folder, folder + family + u"*.exm", false) == 0) anyScanLoaded = true;
    }
    if (ScanModelFiles(folder, folder + u"*.exm", true) == 0) anyScanLoaded = true;
    return m_pModels->empty() || !anyScanLoaded ? 1 : 0;
}

int CVexaVoiceCatalog::ScanModelFiles(const std::u16string& folder, const std::u16string& pattern, bool filter) {
    const std::vector<std::u16string> names = FindFiles(pattern);
    if (names.empty()) return 1;
    int result = 1;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::u16string& name = names[i];
        if (!HasModelExtension(name) || (filter && !HasNoFamilyPrefix(name))) continue;
        const int loaded = LoadModelFile(folder + name);
        // The first name decides the start; later ones can only add a failure.
        result = i == 0 ? loaded : (result | loaded);
    }
    return result;
}

int CVexaVoiceCatalog::LoadModelFile(const std::u16string& path) {
    auto model = std::make_unique<CArticModel>();
    if (!m_pModels) return 1;
    std::string bytes;
    if (!ReadFileBytes(path, CArticModel::kMaxFileSize, &bytes)) return 1;
    if (!model->Load(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size())) return 1;
    m_pModels->push_back(std::move(model));
    return 0;
}

bool CVexaVoiceCatalog::HasNoFamilyPrefix(const std::u16string& name) {
    const std::u16string lower = LowerAscii(name);
    for (const char16_t* family : ModelFamilyNames) {
        const std::u16string prefix = LowerAscii(std::u16string(family));
        if (lower.compare(0, prefix.size(), prefix) == 0) return false;
    }
    return true;
}

CArticModel* CVexaVoiceCatalog::FindModel(const CString& name) const {
    if (!m_pModels) return nullptr;
    for (const auto& model : *m_pModels) {
        if (model->m_Name == name) return model.get();
    }
    return nullptr;
}

void CVexaVoiceCatalog::GetModelNameList(std::vector<CString>* names) const {
    if (!names) return;
    names->clear();
    if (!m_pModels) return;
    for (const auto& model : *m_pModels) names->push_back(model->m_Name);
}

CString CVexaVoiceCatalog::GetProgramName(BYTE bankMsb, BYTE bankLsb, BYTE program) const {
    const CArticModel* model = GetCurrentModel();
    const CProgramName* record = model ? model->FindProgramName(bankMsb, bankLsb, program) : nullptr;
    return record ? record->m_Name : CString();
}

CString CVexaVoiceCatalog::GetDrumVoiceName(BYTE bankMsb, BYTE bankLsb, BYTE program, BYTE note) const {
    const CArticModel* model = GetCurrentModel();
    const CDrumVoiceName* record = model ? model->FindDrumVoiceName(bankMsb, bankLsb, program, note) : nullptr;
    return record ? record->m_Name : CString();
}

bool CVexaVoiceCatalog::HasNewStringsVoice() const {
    const CArticModel* model = GetCurrentModel();
    if (!model) return false;
    for (int row = 0; row < kFirstGroupRow; ++row) {
        const AlgorithmEntry& entry = AlgorithmTable[row];
        if (entry.category23 != kStringsRowCategory23 || !model->HasVoice(UINT(entry.voiceIndex))) continue;
        const BYTE generation = VoiceAddressTable[entry.voiceIndex].generation;
        if (generation != kNoGeneration && generation >= kFirstNewStringsGeneration) return true;
    }
    return false;
}

void CVexaVoiceCatalog::ResetChannels() {
    if (!m_pChannels) return;
    for (size_t channel = 0; channel < m_pChannels->size(); ++channel) {
        CVexaChInfo* info = (*m_pChannels)[channel].get();
        if (!info) continue;
        info->Reset();
        info->m_Channel = BYTE(channel);
    }
}

void CVexaVoiceCatalog::UpdateTargetNames(bool olderModel, BYTE generation) {
    if (m_pChannels) {
        CString scratch;
        for (const auto& info : *m_pChannels) {
            if (!info) continue;
            info->SetRecommendedTarget();
            info->m_On &= info->GetMessage(scratch);
        }
    }
    CopyTableNames();
    if (generation > kLastOlderGeneration) return;
    for (int i = 0; i < OlderDisplayNameCount; ++i) {
        const OlderDisplayName& older = OlderDisplayNames[i];
        if (!older.olderModelsOnly || olderModel) m_TargetNames[size_t(older.row)] = older.name;
    }
}

CVexaChInfo* CVexaVoiceCatalog::GetChannel(UINT channel) const {
    if (!m_pChannels || channel >= m_pChannels->size()) return nullptr;
    return (*m_pChannels)[channel].get();
}
