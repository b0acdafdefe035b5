// Review cases of the core: a document handed to it with SetDoc.
#include <gtest/gtest.h>

#include "driver/PhrasorCore.h"
#include "driver/PhrasorProc.h"
#include "host/PhrasorDoc.h"
#include "tests/driver/BridgeFixture.h"
#include "tests/driver/PhrasorCoreFixture.h"

namespace {

using phrasorcoretest::Bytes;
using phrasorcoretest::CoreRun;
using phrasorcoretest::kUp12;
using phrasorcoretest::ReadSmf;

// Channel 0: two notes after a tempo.
const Bytes kReviewCoreSong = smftest::Smf0(smftest::Cat({
    bridgetest::At(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}), bridgetest::At(960, {0x90, 60, 100}),
    bridgetest::At(480, {0x80, 60, 0}), bridgetest::At(0, {0x90, 64, 90}), bridgetest::At(480, {0x80, 64, 0}),
}));

// The driver converts the document the core loads: after SetDoc that is the
// new one, and the one it replaced (left to its owner) may go.
TEST(ReviewPhrasorCore, SetDocHandsTheNewDocumentToTheDriver) {
    CoreRun run;
    auto* impl = dynamic_cast<CPhrasorCoreImpl*>(run.core);
    ASSERT_NE(impl, nullptr);
    CPhrasorDoc* replaced = impl->GetDoc();
    CPhrasorDoc* doc = CPhrasorDoc::CreateObject();
    ASSERT_NE(doc, nullptr);
    run.core->SetDoc(doc);
    EXPECT_EQ(impl->GetDoc(), doc);
    EXPECT_EQ(impl->GetProc()->GetCEditor(), doc->GetHostInterface());
    delete replaced;

    Bytes bytes = kReviewCoreSong;
    ASSERT_EQ(run.Convert(bytes, 0, kUp12), 1) << impl->GetMessage().str();
    const auto notes = phrasorcoretest::NotesOf(ReadSmf(bytes), 0);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].key, 72);
    EXPECT_EQ(notes[1].key, 76);
    // Storing the same document again changes nothing.
    run.core->SetDoc(doc);
    ASSERT_EQ(run.Convert(bytes, 0, kUp12), 1);
    EXPECT_EQ(phrasorcoretest::NotesOf(ReadSmf(bytes), 0).front().key, 84);
}

}  // namespace
