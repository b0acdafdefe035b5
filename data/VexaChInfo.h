#pragma once
// One MIDI channel of the opened song as the user interface sees it: what the
// song plays on it, whether it can be converted and what the user is told,
// the conversion target (an algorithm-table row) selected for it, whether it
// is switched on, and the two lists of targets its popups offer. Every
// decision depends on the catalogue's current model.
#include <memory>
#include <vector>

#include "data/ChannelFacts.h"
#include "data/ProgramAfter.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticModel;
class CVexaVoiceCatalog;

class CVexaChInfo {
public:
    using OfferList = std::vector<std::unique_ptr<CProgramAfter>>;

    // Neither pointer is owned; both must outlive this object.
    CVexaChInfo(CVexaVoiceCatalog* catalog, const std::vector<CString>* targetNames);
    virtual ~CVexaChInfo();
    CVexaChInfo(const CVexaChInfo&) = delete;
    CVexaChInfo& operator=(const CVexaChInfo&) = delete;

    // Back to a channel without facts or target; the offer lists are made
    // when absent, existing ones keep their entries until the next build.
    virtual void Reset();
    // Selects row r (Algorithms): switched on only for a target row whose
    // voice the model has; a row of a recommendation category is replaced by
    // that category's last choice. Rebuilds the offers.
    virtual void SetTarget(int row);
    // Selects the target the model recommends for the channel's voice.
    virtual void SetRecommendedTarget();
    // 1 when the channel can be converted, else 0; text gets the refusal or
    // the warnings (empty when there is nothing to say).
    virtual int GetMessage(CString& text) const;
    virtual bool IsStringsTarget() const;
    virtual bool IsScatVocalTarget() const;
    virtual bool IsDrumKitTarget() const;

    // The row a channel without a recommendation shows, or -1.
    int GetDefaultTarget() const;
    // The first target row that plays voice v, or its category's last
    // choice when the model has that row; -1 when no row plays it.
    int DefaultRowForVoice(int voice) const;
    // Row r, or the last choice of its recommendation category when the
    // model has that row (a remembered row the model lacks is ignored).
    int RememberedRow(int row) const;
    // Whether r is a target row whose voice the model has.
    static bool ModelHasRow(const CArticModel* model, int row);
    bool HasRow(int row) const;
    // Selects target row r as it is (no last choice, no recommendation): its
    // voice bytes, and the offers rebuilt around it. The switch stays.
    void SelectRow(int row);
    // The catalogue's display name of the row; empty outside 0..191.
    CString GetTargetName(int row) const;
    // Rebuilds both offer lists around the selected row.
    void BuildCandidates();
    // The channel's facts: voice, flags and part mode.
    void SetFacts(const ChannelFacts& facts);
    // A drum part: the model has kits and the applied row is a kit (or, with
    // no row, the channel's voice is on bank MSB 127).
    bool IsDrumPart() const;

    BYTE m_Channel = 0;
    BYTE m_BankMsb = 0;
    BYTE m_BankLsb = 0;
    BYTE m_Program = 0;
    BYTE m_SeveralPrograms = 0;
    BYTE m_NoNotes = 0;
    BYTE m_VexaVoice = 0;
    BYTE m_Below36 = 0;
    BYTE m_Below24 = 0;
    BYTE m_PartMode = 0;
    LONG m_Option = 0;  // nothing sets it
    LONG m_AppliedRow = 0;
    LONG m_RecommendCategory = -1;
    LONG m_Alternatives = 0;
    LONG m_On = 0;
    BYTE m_TargetBankMsb = 0;
    BYTE m_TargetBankLsb = 0;
    BYTE m_TargetProgram = 0;
    LONG m_SelectedRow = 0;
    std::unique_ptr<OfferList> m_pSameCategoryOffers;  // popup 1; null until the first Reset
    std::unique_ptr<OfferList> m_pAllOffers;           // every target the model has
    CVexaVoiceCatalog* m_pCatalog = nullptr;           // not owned
    const std::vector<CString>* m_pTargetNames = nullptr;  // not owned

private:
    const CArticModel* CurrentModel() const;
    void SetTargetAddress(int voice);
};
