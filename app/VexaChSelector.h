#pragma once
// The user interface's one door to the voice catalogue and its sixteen
// channel objects: what a channel row shows, the user's choices (model,
// target, on and off), the popup lists, the remembered targets, and what the
// conversion worker reads (IsChannelOn, GetTarget).
//
// Every operation that returns an int gives 0 on success; kNoObject when the
// catalogue, its channel list or the channel object is missing or the
// channel is not below 16; kFailed (and kFailedMore where said) for its own
// failures. Outputs keep their values on failure unless said otherwise.
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

#include "data/ChannelFacts.h"
#include "data/VoiceAddressTable.h"
#include "platform/String.h"
#include "platform/Types.h"

class CProgramAfter;
class CVexaChInfo;
class CVexaVoiceCatalog;

class CVexaChSelector {
public:
    static constexpr int kNoObject = int(0x80000001);
    static constexpr int kFailed = int(0x80000002);
    static constexpr int kFailedMore = int(0x80000003);
    using AlgLastSelValues = std::array<int, 10>;

    // A new catalogue (no models yet); the remembered targets become the
    // first row of each category.
    CVexaChSelector();
    ~CVexaChSelector();

    // Every channel back to no facts and no target.
    int ResetChannels();
    // The catalogue, shared with whoever holds the selector.
    std::shared_ptr<CVexaVoiceCatalog> GetCatalog() const { return m_pCatalog; }

    // Channel state.
    // Takes the song's facts for the channel, then the model's recommendation;
    // the channel is switched off when it cannot be converted or there is
    // something to tell the user.
    int SetChannelInfo(BYTE channel, const ChannelFacts& facts);
    int ApplyRecommendation(BYTE channel);
    // Switched on, the selected row is one the model has: a row it lacks (or
    // none) gives way to the default target, whose voice bytes and offers
    // the channel then takes. kFailed, nothing changed, when the channel
    // cannot be converted or (to switch it on) no such row results.
    int SetChannelOn(BYTE channel, bool on);
    // The offer of that display name becomes the target and the last choice of
    // the channel's recommendation category; the switch and the offers stay.
    // kFailed, nothing changed, when no offer has the name or its row is not a
    // target row of the names now shown.
    int SetTargetByName(BYTE channel, const QString& name);
    // convertible is false on failure.
    int GetChannelMessage(BYTE channel, bool* convertible, QString* text);
    int IsChannelOn(BYTE channel, bool* on);
    int GetTarget(BYTE channel, BYTE* bankMsb, BYTE* bankLsb, BYTE* program, int* row, bool* option);
    int GetChannelVoice(BYTE channel, BYTE* bankMsb, BYTE* bankLsb, BYTE* program);
    int GetPartMode(BYTE channel, BYTE* partMode);
    int HasAlternatives(BYTE channel, bool* alternatives);
    int IsDrumKitTarget(BYTE channel, bool* drumKit);
    // kFailed when the selected row is not a target row.
    int GetDrumNoteSet(BYTE channel, DrumNoteSet* notes);
    int GetTargetName(BYTE channel, QString* name);
    int GetSelectedCategoryName(BYTE channel, QString* name);
    // The instrument picture's resource path; kFailed without a selected
    // offer, kFailedMore for an icon id the table does not have.
    int GetIconOff(BYTE channel, QString* path);
    int GetIconOn(BYTE channel, QString* path);

    // Popup lists: names appended (the list is not cleared), empty names and
    // names already in the list skipped. kFailed without offer lists.
    int GetSameCategoryNames(BYTE channel, QStringList* names);
    int GetCategoryNames(BYTE channel, QStringList* names, bool drum);
    int GetCategoryTargetNames(BYTE channel, const QString& category, QStringList* names);
    int GetAllTargetNames(BYTE channel, QStringList* names);

    // Models and names.
    // The model files of the program's folder; kFailed when loading fails.
    int LoadModels();
    // The same from a folder (a path, with or without a final '/').
    int LoadModels(const QString& folder);
    int GetModelNameList(QStringList* names);
    int GetModelName(QString* name);
    int SetModel(const QString& name);
    // The current model's picture upright; kFailed without a model. A picture
    // of fewer than 181 x 36 pixels' bytes shows none: the pixmap is emptied
    // and the result is kFailedMore.
    int GetModelPicture(QPixmap* pixmap);
    int GetProgramName(BYTE bankMsb, BYTE bankLsb, BYTE program, QString* name);
    int GetDrumVoiceName(BYTE bankMsb, BYTE bankLsb, BYTE program, BYTE note, QString* name);

    // Remembered targets.
    int ResetAlgLastSel();
    int GetAlgLastSelAll(AlgLastSelValues* values);
    // A value that is no row of its category, or (with a model selected) a
    // row whose voice the model lacks, is ignored.
    int SetAlgLastSelAll(const AlgLastSelValues& values);

private:
    CVexaChInfo* Channel(BYTE channel) const;
    const CProgramAfter* FindSelectedOffer(const CVexaChInfo& info) const;
    const CProgramAfter* FindOfferByName(const CVexaChInfo& info, const CString& name) const;
    int GetIcon(BYTE channel, bool on, QString* path);
    template <class Accept>
    int AppendOfferNames(BYTE channel, bool sameCategory, QStringList* names, Accept accept);

    std::shared_ptr<CVexaVoiceCatalog> m_pCatalog;
};
