#pragma once
// Static helpers of the rule language: taking an operand token apart,
// classifying it into an argument-type mask (declaring output variables on
// first sight), and the element-list chores shared by the rule classes.
#include "engine/rules/ArticData.h"
#include "engine/rules/ArticRulElm.h"
#include "engine/work/ExString.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CArticRulSet;

// Operand kinds given by DivParam.
enum : int { kOperandConst = 1, kOperandRef = 2, kOperandOut = 4 };

// The highest index a script may address in a numbered table of the rule
// engine (variables, globals, event arrays). A larger one (a -1 arriving as
// 0xFFFFFFFF, or a typo) is refused instead of growing a table by gigabytes.
constexpr ULONG kMaxRulIndex = 0xFFFFF;

class CArticRulUtil : public CObject {
public:
    // Takes one operand token apart: 0, or 1 when it is malformed (the
    // outputs are then partly filled and meaningless). The token may be
    // shortened by a member number.
    static int DivParam(CExString& token, CExString& name, int& number, CExString& member, int& memberNum,
                        double& value, CExString& strValue, int& kind);
    // As DivParam, but the token is left as it is.
    static int DivOperand(const CString& token, CExString& name, int& number, CExString& member, int& memberNum,
                          double& value, CExString& strValue, int& kind);
    // 1 when a trailing member number was found and cut off the token.
    static int GetMemberNum(CExString& token, int& memberNum);
    // Classifies a taken-apart operand; with define set, an output reference
    // declares its variable in the set. 1 only for an output declared twice.
    static int GetArgType(CArticRulSet* set, CExString& name, int number, CExString& member, int memberNum,
                          double value, CExString& strValue, int kind, int define, int& mask);
    // Deletes every element and empties the list (which stays).
    static void ClearRulElmList(CArticRulElmList* list);

    // Appends deep copies of src's elements to dst.
    static void AppendCopies(const CArticRulElmList* src, CArticRulElmList* dst);
    static void ClearDataList(CArticDataList* list);
    static void AppendCopies(const CArticDataList* src, CArticDataList* dst);

    // ---- Preparing a script's raw lines
    // Copies lines to out with every "#include:name" line replaced by the
    // expanded lines of the named library file: 0, or 1 for an empty name, a
    // file that cannot be read, or a file that is already being expanded
    // (itself or through others); errLine holds the line being handled.
    static int Expand(CStringList& lines, CString file, CStringList& out, CString& errLine);
    // Moves the first init block (its head up to the next "#set", "#sub" or
    // init head) from lines to out: always 0.
    static int GetRulInit(CStringList& lines, CStringList& out, CString& errLine);
    // The same for the block headed "#init<k>" ("#init" for k <= 0; k = 2
    // takes "#init" too): 1 when that head occurs twice.
    static int GetRulInit(CStringList& lines, int k, CStringList& out, CString& errLine);
    // Moves every subroutine block ("#sub:N" up to the next "#set" or init
    // head) from lines to out: always 0.
    static int GetRulSub(CStringList& lines, CStringList& out, CString& errLine);
    // The head token of a raw line (blanks are part of it).
    static CString HeadToken(const CString& line);
    // True when the line's head token is word.
    static bool HeadIs(const CString& line, const char* word);

    // Size a numbered table must have for index to fit: old + 5 * (floor((index -
    // old) / 5) + 1), or old when it fits already.
    static int GrownSize(int size, ULONG index);
    // Grows array (null slots) so that index fits: false, nothing changed,
    // when index is above kMaxRulIndex.
    template <class A>
    static bool GrowFor(A& array, ULONG index) {
        if (index > kMaxRulIndex) return false;
        if (int64_t(index) >= array.GetSize()) array.SetSize(GrownSize(array.GetSize(), index));
        return true;
    }
};
