#include "services/ArticErr.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/File.h"
#include "platform/Messages.h"

namespace {

// The labels as CP932 bytes, written out so that the test does not depend on
// how the compiler converts the source's literals.
const std::string kContent = "\x93\xE0\x97\x65 : ";              // 内容 : 
const std::string kClass = "\xB8\xD7\xBD\x96\xBC : ";             // ｸﾗｽ名 : 
const std::string kMethod = "\xD2\xDD\xCA\xDE\x8A\xD6\x90\x94\x96\xBC : ";  // ﾒﾝﾊﾞ関数名 : 
const std::string kDetail = "\x8F\xDA\x8D\xD7\x8F\xEE\x95\xF1 : ";  // 詳細情報 : 

std::string DisplayForm(const std::string& content, const std::string& cls,
                        const std::string& method, const std::string& detail) {
    return "\r" + kContent + content + "\r" + kClass + cls + "\r" + kMethod + method + "\r" +
           kDetail + detail + "\r";
}

// Every test starts and ends without a list, as the program does.
class ArticErrTest : public ::testing::Test {
protected:
    void SetUp() override { CArticErr::Delete(); }
    void TearDown() override {
        CArticErr::Delete();
        CArticErr::DispErrDlg(1);
        SetMessageSink(nullptr);
    }
};

TEST(ArticErrLabels, ByteLengthsOfTheCodePage) {
    EXPECT_EQ(kContent.size(), 7u);
    EXPECT_EQ(kClass.size(), 8u);
    EXPECT_EQ(kMethod.size(), 13u);
    EXPECT_EQ(kDetail.size(), 11u);
    // The compiled literals are the same bytes.
    EXPECT_EQ(std::string("内容 : "), kContent);
    EXPECT_EQ(std::string("ｸﾗｽ名 : "), kClass);
    EXPECT_EQ(std::string("ﾒﾝﾊﾞ関数名 : "), kMethod);
    EXPECT_EQ(std::string("詳細情報 : "), kDetail);
}

TEST(ArticErrMsg, DisplayFormByteForByte) {
    CArticErrMsg msg;
    msg.Set("a", "B", "C", "");
    CString text = "left over";
    msg.Get(text);
    const std::string expected = DisplayForm("a", "B", "C", "");
    EXPECT_EQ(text.str(), expected);
    EXPECT_EQ(text.GetLength(), 1 + 7 + 1 + 1 + 8 + 1 + 1 + 13 + 1 + 1 + 11 + 1);
    int crs = 0;
    for (char ch : text.str()) {
        EXPECT_NE(ch, '\n');
        crs += ch == '\r';
    }
    EXPECT_EQ(crs, 5);
}

TEST(ArticErrMsg, DisplayFormOfDoubleByteTexts) {
    CArticErrMsg msg;
    msg.Set("読込失敗", "CArticRul", "LoadRul", "行 3");
    CString text;
    msg.Get(text);
    EXPECT_EQ(text.str(), DisplayForm("読込失敗", "CArticRul", "LoadRul", "行 3"));
}

TEST(ArticErrMsg, KindsAndClear) {
    CArticErrMsg msg;
    EXPECT_EQ(msg.GetKind(), 0);
    msg.Set("c", "k", "m", "d");
    EXPECT_EQ(msg.GetKind(), 3);
    msg.Set(5, "c2", "k2", "m2", "d2");
    BYTE kind = 0;
    CString c, k, m, d;
    msg.Get(kind, c, k, m, d);
    EXPECT_EQ(kind, 5);
    EXPECT_EQ(c, "c2");
    EXPECT_EQ(k, "k2");
    EXPECT_EQ(m, "m2");
    EXPECT_EQ(d, "d2");
    msg.Clear();
    msg.Get(kind, c, k, m, d);
    EXPECT_EQ(kind, 0);
    EXPECT_TRUE(c.IsEmpty() && k.IsEmpty() && m.IsEmpty() && d.IsEmpty());
    msg.SetKind(1);
    EXPECT_EQ(msg.GetKind(), 1);
}

TEST_F(ArticErrTest, SetFormsWriteKinds135) {
    CArticErr::Clear();
    struct Case {
        int kind;  // -1: the four-text form
        BYTE expected;
    };
    const Case cases[] = {{-1, 3}, {1, 1}, {5, 5}, {3, 3}};
    for (const Case& c : cases) {
        if (c.kind < 0) CArticErr::Set("text", "CArticWrk", "Renumber", "detail");
        else CArticErr::Set(BYTE(c.kind), "text", "CArticWrk", "Renumber", "detail");
        BYTE kind = 0xFF;
        CString content, cls, method, detail;
        CArticErr::Get(kind, content, cls, method, detail);
        EXPECT_EQ(kind, c.expected) << c.kind;
        EXPECT_EQ(content, "text");
        EXPECT_EQ(cls, "CArticWrk");
        EXPECT_EQ(method, "Renumber");
        EXPECT_EQ(detail, "detail");
    }
    EXPECT_EQ(CArticErr::GetMsgCount(), 4);
}

TEST_F(ArticErrTest, GetGivesTheLastOfTwo) {
    CArticErr::Clear();
    CArticErr::Set("first", "A", "a", "");
    CArticErr::Set("second", "B", "b", "x");
    CString text;
    CArticErr::Get(text);
    EXPECT_EQ(text.str(), DisplayForm("second", "B", "b", "x"));
    CString c, k, m, d;
    CArticErr::Get(c, k, m, d);
    EXPECT_EQ(c, "second");
    EXPECT_EQ(d, "x");
}

TEST_F(ArticErrTest, GetLeavesOutputsWithoutListOrMessage) {
    for (int withList = 0; withList < 2; ++withList) {
        if (withList) CArticErr::Clear();
        CString text = "keep";
        CArticErr::Get(text);
        EXPECT_EQ(text, "keep") << withList;
        BYTE kind = 9;
        CString c = "c", k = "k", m = "m", d = "d";
        CArticErr::Get(kind, c, k, m, d);
        EXPECT_EQ(kind, 9);
        EXPECT_EQ(c + k + m + d, "ckmd");
        CArticErr::Get(c, k, m, d);
        EXPECT_EQ(c + k + m + d, "ckmd");
    }
}

TEST_F(ArticErrTest, WithoutListEverythingIsDropped) {
    CArticErr::Set("lost", "A", "a", "");
    CArticErr::Set(5, "lost", "A", "a", "");
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
    EXPECT_EQ(CArticErr::IsError(), 0);
    CStringList list;
    list.AddTail("untouched");
    EXPECT_EQ(CArticErr::GetMsgStrList(list), 1);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetHead(), "untouched");
    // A list created later does not hold what was dropped.
    CArticErr::Clear();
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
}

TEST_F(ArticErrTest, Lifecycle) {
    EXPECT_FALSE(CArticErr::HasList());
    EXPECT_EQ(CArticErr::GetErrDlg(), nullptr);

    CArticErr::Clear();
    EXPECT_TRUE(CArticErr::HasList());
    ASSERT_NE(CArticErr::GetErrDlg(), nullptr);
    CArticErr::Set("one", "A", "a", "");
    CArticErr::Set("two", "A", "a", "");
    EXPECT_EQ(CArticErr::GetMsgCount(), 2);

    // A second Clear restarts the list empty and the display on.
    CArticErr::DispErrDlg(0);
    EXPECT_EQ(CArticErr::IsDispErrDlg(), 0);
    CArticErr::Clear();
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
    EXPECT_EQ(CArticErr::IsDispErrDlg(), 1);
    CString text = "keep";
    CArticErr::Get(text);
    EXPECT_EQ(text, "keep");

    CArticErr::Set("three", "A", "a", "");
    CArticErr::Delete();
    EXPECT_FALSE(CArticErr::HasList());
    EXPECT_EQ(CArticErr::GetErrDlg(), nullptr);
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
    CArticErr::Delete();  // deleting twice is harmless
    EXPECT_FALSE(CArticErr::HasList());
}

TEST_F(ArticErrTest, IsErrorAndMessageStrings) {
    struct Case {
        const char* name;
        std::vector<std::pair<BYTE, const char*>> messages;
        int isError;
        std::vector<const char*> strings;
    };
    const Case cases[] = {
        {"headers only", {{1, "== ﾙｰﾙ ﾛｰﾄﾞｴﾗｰ"}, {1, "== ｸﾘｴｲﾄｴﾗｰ"}}, 0,
         {"== ﾙｰﾙ ﾛｰﾄﾞｴﾗｰ", "== ｸﾘｴｲﾄｴﾗｰ"}},
        {"an error", {{1, "== ｺﾋﾟｰｴﾗｰ"}, {3, "bad"}}, 1, {"== ｺﾋﾟｰｴﾗｰ"}},
        {"a detail", {{1, "== ｿｰﾄｴﾗｰ"}, {5, "detail"}}, 1, {"== ｿｰﾄｴﾗｰ", "detail"}},
        {"kind 2 is no error", {{2, "two"}, {0, "zero"}}, 0, {}},
        {"empty list", {}, 0, {}},
    };
    for (const Case& c : cases) {
        CArticErr::Clear();
        for (const auto& m : c.messages) CArticErr::Set(m.first, m.second, "", "", "");
        EXPECT_EQ(CArticErr::IsError(), c.isError) << c.name;
        CStringList list;
        list.AddTail("stale");
        EXPECT_EQ(CArticErr::GetMsgStrList(&list), 0) << c.name;
        ASSERT_EQ(list.GetCount(), int(c.strings.size())) << c.name;
        POSITION pos = list.GetHeadPosition();
        for (const char* expected : c.strings) EXPECT_EQ(list.GetNext(pos), expected) << c.name;
    }
    EXPECT_EQ(CArticErr::GetMsgStrList(static_cast<CStringList*>(nullptr)), 1);
}

TEST_F(ArticErrTest, DoModalErrDlgShowsNothingAndKeepsTheFlag) {
    int shown = 0;
    SetMessageSink([&shown](const CString&, const CString&, UINT) {
        ++shown;
        return IDOK;
    });

    // Without a dialog nothing happens at all.
    CArticErr::DispErrDlg(0);
    CArticErr::DoModalErrDlg("text", 0x10);
    EXPECT_EQ(CArticErr::IsDispErrDlg(), 0);

    CArticErr::Clear();
    for (int flag : {0, 1}) {
        CArticErr::DispErrDlg(flag);
        CArticErr::DoModalErrDlg("head\rbody", 0x10);
        EXPECT_EQ(CArticErr::IsDispErrDlg(), flag);
        CArticErrDlg* dlg = CArticErr::GetErrDlg();
        ASSERT_NE(dlg, nullptr);
        UINT type = 0;
        CString text;
        int disp = -5;
        dlg->Get(type, text, disp);
        EXPECT_EQ(type, 0x10u);
        EXPECT_EQ(text, "head\rbody");
        EXPECT_EQ(disp, flag);
        EXPECT_EQ(dlg->DoModal(), flag == 0 ? 1 : -1);
    }
    EXPECT_EQ(shown, 0);
}

TEST(ArticErrDlg, DefaultsAndSecondConstructor) {
    CArticErrDlg dlg;
    UINT type = 0;
    CString text = "x";
    int disp = 0;
    dlg.Get(type, text, disp);
    EXPECT_EQ(type, 0x30u);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(disp, 1);
    EXPECT_EQ(dlg.GetIconId(), 32515u);
    EXPECT_FALSE(dlg.IsCheckTicked());

    CArticErrDlg other(0x40, "note", 0);
    EXPECT_EQ(other.GetType(), 0x40u);
    EXPECT_EQ(other.GetAllMsg(), "note");
    EXPECT_EQ(other.GetDisp(), 0);
    EXPECT_EQ(other.GetIconId(), 32516u);
    EXPECT_TRUE(other.IsCheckTicked());
}

TEST(ArticErrDlg, IconByTypeBits4To7) {
    const std::pair<UINT, UINT> cases[] = {
        {0x10, 32513}, {0x11, 32513}, {0x20, 32514}, {0x30, 32515}, {0x134, 32515},
        {0x40, 32516}, {0x00, 32512}, {0x50, 32512}, {0xF0, 32512},
    };
    CArticErrDlg dlg;
    for (const auto& c : cases) {
        dlg.SetType(c.first);
        EXPECT_EQ(dlg.GetIconId(), c.second) << std::hex << c.first;
    }
}

TEST(ArticErrDlg, CheckBoxStopsFurtherShowing) {
    CArticErrDlg dlg;
    dlg.SetDisp(0);
    EXPECT_TRUE(dlg.IsCheckTicked());
    dlg.SetCheckTicked(false);
    dlg.DoDataExchange(true);
    EXPECT_EQ(dlg.GetDisp(), 1);
    dlg.SetCheckTicked(true);
    dlg.DoDataExchange(true);
    EXPECT_EQ(dlg.GetDisp(), 0);
    EXPECT_EQ(dlg.DoModal(), 1);
}

TEST(ArticErrDlg, FiveLinesCutAtCrAndLf) {
    CArticErrMsg msg;
    msg.Set("a", "B", "C", "");
    CString form;
    msg.Get(form);

    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        // Leading text, CR, then the display form: the detail line is the sixth piece.
        {"T\r" + form.str(), {"T", "", kContent + "a", kClass + "B", kMethod + "C"}},
        {"one\ntwo\r\nthree", {"one", "two", "three", "", ""}},
        {"", {"", "", "", "", ""}},
        {"\x8A\xD6\x90\x94\rend", {"\x8A\xD6\x90\x94", "end", "", "", ""}},
    };
    for (const Case& c : cases) {
        CArticErrDlg dlg;
        dlg.SetAllMsg(CString(c.text));
        for (int i = 0; i < CArticErrDlg::kLineCount; ++i)
            EXPECT_EQ(dlg.GetLine(i).str(), c.lines[size_t(i)]) << i;
        EXPECT_TRUE(dlg.GetLine(5).IsEmpty());
    }
}

class ArticDebugMgrTest : public ::testing::Test {
protected:
    void SetUp() override {
        CArticDebugMgr::Close();
        path_ = CString((::testing::TempDir() + "vexa_debug_trace.txt").c_str());
    }
    void TearDown() override {
        CArticDebugMgr::Close();
        CFile::Remove(path_);
    }
    std::string Contents() {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path_, &bytes));
        return bytes;
    }
    CString path_;
};

TEST_F(ArticDebugMgrTest, TraceLines) {
    CArticDebugMgr::WriteString("before open\n");  // dropped
    ASSERT_EQ(CArticDebugMgr::Open(path_), 0);
    EXPECT_EQ(CArticDebugMgr::Open(path_), 1);  // one file at a time
    CArticDebugMgr::WriteString("head\n");
    CArticDebugMgr::TraceTime("span", 1000, 3500);
    CArticDebugMgr::SetCurrentTime(200);
    CArticDebugMgr::TraceTime("since", 1201);
    CArticDebugMgr::TraceTime("wrap", 0xFFFFFF00u, 0x100u);
    CArticDebugMgr::AddTotalTime(3, 10, 20);
    CArticDebugMgr::AddTotalTime(3, 100, 1100);
    CArticDebugMgr::AddTotalTime(10, 0, 5000);  // no such total
    CArticDebugMgr::TraceTotalTime("total", 3);
    CArticDebugMgr::TraceTotalTime("zero", 0);
    CArticDebugMgr::TraceTotalTime("none", 10);
    CArticDebugMgr::TraceTotalTime("none", -1);
    CArticDebugMgr::Close();
    CArticDebugMgr::WriteString("after close\n");  // dropped
    EXPECT_EQ(Contents(),
              "head\n"
              "span : 2.500 seconds\n"
              "since : 1.001 seconds\n"
              "wrap : 0.512 seconds\n"
              "total : 1.010 seconds\n"
              "zero : 0.000 seconds\n");
}

TEST_F(ArticDebugMgrTest, OpenClearsTotals) {
    ASSERT_EQ(CArticDebugMgr::Open(path_), 0);
    CArticDebugMgr::AddTotalTime(0, 0, 40);
    CArticDebugMgr::Close();
    ASSERT_EQ(CArticDebugMgr::Open(path_), 0);
    CArticDebugMgr::TraceTotalTime("t", 0);
    CArticDebugMgr::Close();
    EXPECT_EQ(Contents(), "t : 0.000 seconds\n");
    EXPECT_EQ(CArticDebugMgr::Open("/nonexistent-folder/x/trace.txt"), 1);
    EXPECT_FALSE(CArticDebugMgr::IsOpen());
}

TEST(ArticDebugMgr, FormatSeconds) {
    const std::pair<DWORD, const char*> cases[] = {
        {0, "0.000"}, {1, "0.001"}, {999, "0.999"}, {1000, "1.000"}, {123456, "123.456"},
        {0xFFFFFFFFu, "4294967.295"},
    };
    for (const auto& c : cases) EXPECT_EQ(CArticDebugMgr::FormatSeconds(c.first), c.second);
}

}  // namespace
