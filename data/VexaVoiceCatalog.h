#pragma once
// The data behind the channel selector: finds and loads the model files of a
// folder, remembers the selected model, keeps the display names of the 192
// targets as that model shows them, and owns the sixteen channel objects.
#include <memory>
#include <string>
#include <vector>

#include "data/ArticModel.h"
#include "data/VexaChInfo.h"
#include "platform/String.h"
#include "platform/Types.h"

class CVexaVoiceCatalog {
public:
    using ModelList = std::vector<std::unique_ptr<CArticModel>>;
    using ChannelList = std::vector<std::unique_ptr<CVexaChInfo>>;

    static constexpr int kChannelCount = 16;

    // The table's display names and sixteen channels; no models yet.
    CVexaVoiceCatalog();
    ~CVexaVoiceCatalog();
    CVexaVoiceCatalog(const CVexaVoiceCatalog&) = delete;
    CVexaVoiceCatalog& operator=(const CVexaVoiceCatalog&) = delete;

    // Replaces the models with the model files of the folder (a text that ends
    // with '/'): each family's files in family order, then the files of no
    // family. 0 on success; 1 when no model loaded or no scan gave 0.
    int LoadModels(const std::u16string& folder);
    // Loads the files the pattern finds whose names end in "exm" (exactly) and,
    // filtered, begin with no family prefix. 1 when the first name found is
    // refused or does not load; a later file that does not load ORs its 1 in.
    int ScanModelFiles(const std::u16string& folder, const std::u16string& pattern, bool filter);
    // 0 when the file loaded and its model was appended, else 1.
    int LoadModelFile(const std::u16string& path);
    // False when the name begins with a family prefix, ASCII case ignored.
    static bool HasNoFamilyPrefix(const std::u16string& name);

    // The first loaded model of exactly this name, or null.
    CArticModel* FindModel(const CString& name) const;
    CArticModel* GetCurrentModel() const { return FindModel(m_SelectedModelName); }
    // Empties the list, then appends every loaded model's name in load order.
    void GetModelNameList(std::vector<CString>* names) const;
    // The current model's names for a voice and a drum note; empty when none.
    CString GetProgramName(BYTE bankMsb, BYTE bankLsb, BYTE program) const;
    CString GetDrumVoiceName(BYTE bankMsb, BYTE bankLsb, BYTE program, BYTE note) const;
    // True when the current model has a strings voice of generation 5 or more.
    bool HasNewStringsVoice() const;

    // Every channel reset and given its number.
    void ResetChannels();
    // After a model was selected: each channel takes the model's recommendation
    // and stays on only while it can be converted (with the names as they
    // stood); then the display names become the model's.
    void UpdateTargetNames(bool olderModel, BYTE generation);

    // The channel object, or null.
    CVexaChInfo* GetChannel(UINT channel) const;
    int GetChannelCount() const { return m_pChannels ? int(m_pChannels->size()) : 0; }
    const std::vector<CString>& GetTargetNames() const { return m_TargetNames; }
    const ModelList* GetModels() const { return m_pModels.get(); }

    CString m_SelectedModelName;

private:
    void InitTargetNames();
    void CreateChannels();
    void DeleteModelList();
    void CopyTableNames();

    std::vector<CString> m_TargetNames;      // entry r: row r's display name
    std::unique_ptr<ModelList> m_pModels;    // null: absent
    std::unique_ptr<ChannelList> m_pChannels;  // null: absent
};
