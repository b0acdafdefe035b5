#pragma once
// One stored operand of a rule line: a constant, a variable reference with
// its member or relation code, or a parenthesised / braced group holding a
// nested list. The evaluators, the expression-text renderer and the
// built-ins all read it through the same fields.
#include <atomic>

#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticRulData;
class CArticRulElm;

using CArticRulElmList = CTypedPtrList<CObList, CArticRulElm*>;

// Argument-type mask bits: one per operand class. The loaders compare an
// operand's mask with the mask a built-in or expression class allows.
enum : int {
    ARG_NUM = 0x0001,
    ARG_STR = 0x0002,
    ARG_VAL = 0x0004,
    ARG_VAL_OUT = 0x0008,
    ARG_NUM_SPARE = 0x0010,  // produced by no operand; kept in the numeric masks
    ARG_STRVAR = 0x0020,
    ARG_STRVAR_OUT = 0x0040,
    ARG_ARY = 0x0080,
    ARG_ARY_OUT = 0x0100,
    ARG_VARY = 0x0200,
    ARG_VARY_OUT = 0x0400,
    ARG_EVNT = 0x0800,
    ARG_MEMBER = 0x1000,
    ARG_EVNT_OUT = 0x2000,
    ARG_EVNT_LIST = 0x4000,  // a signature position taking "count{events}"
};

// Element data-type codes (the DataType field). Codes not listed mean
// nothing: every reader skips such an element.
enum : BYTE {
    kElmPlain = 0,    // constant, group, or a variable read as a whole
    kElmEvnt = 1,     // the note of an event variable itself
    kElmNext = 2,     // next note on the same string in the block
    kElmPre = 3,      // previous note on the same string
    kElmWrkNext = 4,  // next note by number on the selected tracks
    kElmWrkPre = 5,
    kElmAllNext = 6,  // next note by number on any track
    kElmAllPre = 7,
    kElmTime = 11,
    kElmDur = 12,
    kElmKey = 13,
    kElmVelo = 14,
    kElmGen = 21,
    kElmFng = 22,
    kElmPos = 23,
    kElmCho = 24,
    kElmProb = 31,    // Data holds the set number
    kElmCre = 32,     // Data holds the set number
    kElmVAry = 41,    // a value array read in an expression argument list
    kElmVAryOut = 42, // a value array to be filled with fresh event numbers
};

// The operator that follows an element in an arithmetic list.
enum : BYTE { kSignNone = 0, kSignPlus = 1, kSignMinus = 2, kSignMul = 3, kSignDiv = 4 };

// True for the relation codes 1..7.
inline bool IsRelationCode(BYTE code) { return code >= kElmEvnt && code <= kElmAllPre; }
// True for the note-member codes (Time .. Cho, Prob, Cre).
inline bool IsMemberCode(BYTE code) {
    return (code >= kElmTime && code <= kElmVelo) || (code >= kElmGen && code <= kElmCho) || code == kElmProb ||
           code == kElmCre;
}

class CArticRulElm final : public CObject {
    VX_DECLARE_CLASS(CArticRulElm)
public:
    // What a numeric argument reader makes of the element, worked out once
    // from its fields and the class of the variable it names, and worked out
    // again after any field changes.
    enum class NumForm : BYTE {
        Unknown,    // not worked out yet
        Constant,   // a plain number: Data times the sign factor
        Value,      // a value variable read as a whole
        Member,     // a note member of an event variable
        EvntOther,  // an event variable without a note member: no number
        None,       // anything else: no number
    };

    CArticRulElm();
    ~CArticRulElm() override;
    CArticRulElm(const CArticRulElm& src);
    // Copies every field; a nested list is deep-copied into a fresh list,
    // and a source without one leaves the target's own list as it was.
    CArticRulElm& operator=(const CArticRulElm& src);

    // All seven fields; the text is copied, the list is lent. Null outputs are skipped.
    virtual void Get(CArticRulData** rulData, BYTE* dataType, BYTE* sign, int* plus, double* data, CString* strData,
                     CArticRulElmList** list) const;
    virtual int GetRulData(CArticRulData** rulData) const;
    virtual CArticRulData* GetRulData() const { return m_pRulData; }
    virtual BYTE GetDataType() const { return m_DataType; }
    virtual BYTE GetSign() const { return m_Sign; }
    virtual int GetPlus() const { return m_Plus; }
    virtual double GetData() const { return m_Data; }
    virtual CString GetStrData() const { return m_pStrData ? *m_pStrData : CString(); }
    // True when the element holds a non-empty text (no copy made).
    bool HasStrData() const { return m_pStrData && !m_pStrData->IsEmpty(); }
    virtual CArticRulElmList* GetRulElmList() const { return m_pRulElmList; }

    // The list is taken over (a list held before is freed unless it is the same).
    virtual void Set(CArticRulData* rulData, BYTE dataType, BYTE sign, int plus, double data, CString strData,
                     CArticRulElmList* list);
    virtual void SetRulData(CArticRulData* rulData) {
        m_pRulData = rulData;
        Reshaped();
    }
    virtual void SetDataType(BYTE dataType) {
        m_DataType = dataType;
        Reshaped();
    }
    virtual void SetSign(BYTE sign) {
        m_Sign = sign;
        Reshaped();
    }
    virtual void SetPlus(int plus) {
        m_Plus = plus;
        Reshaped();
    }
    // The constant (or member set number) only: readers that keep a
    // resolved form read Data from the element itself, so nothing is renewed.
    virtual void SetData(double data) { m_Data = data; }
    virtual void SetStrData(const CString& text);
    virtual void SetRulElmList(CArticRulElmList* list);

    using CObject::GetClassNameA;
    virtual void GetClassNameA(CString* name) const;

    virtual void NewRulElmList();
    virtual void DeleteRulElmList();
    virtual void ClearRulElmList();
    // Replaces the own list's items by deep copies of src's; nothing when either is missing.
    virtual void CopyRulElmList(const CArticRulElmList* src);

    // Turns the element into what a fresh element holding only value is
    // (no variable, text or list), keeping its storage.
    void MakeConstant(double value) {
        // Written once per call and note: an element that is a plain
        // constant already only takes the value.
        if (!m_pRulData && m_DataType == kElmPlain && m_Sign == kSignNone && m_Plus == 1 && !m_pStrData &&
            !m_pRulElmList) {
            m_Data = value;
            return;
        }
        Reshape(value);
    }

    // +1.0, or -1.0 when a unary minus stands before the operand.
    double SignFactor() const { return m_Plus ? 1.0 : -1.0; }

    // The element read as a number by an argument reader (see NumForm).
    NumForm GetNumForm() const {
        if (m_NumForm == NumForm::Unknown) m_NumForm = ClassifyNum();
        return m_NumForm;
    }

    // Grows whenever any element anywhere changes in anything but its Data:
    // a field set, a nested list given, renewed, emptied or copied, an
    // element made, assigned or destroyed. A form resolved from element
    // lists and built at one reading stays good while it is unchanged.
    static unsigned long ShapeStamp() { return s_ShapeStamp.load(std::memory_order_relaxed); }

private:
    NumForm ClassifyNum() const;
    void Reshape(double value);
    // A field other than Data changed: the worked-out forms are renewed.
    void Reshaped() {
        m_NumForm = NumForm::Unknown;
        s_ShapeStamp.fetch_add(1, std::memory_order_relaxed);
    }

    static std::atomic<unsigned long> s_ShapeStamp;

    CArticRulData* m_pRulData = nullptr;  // not owned
    BYTE m_DataType = kElmPlain;
    BYTE m_Sign = kSignNone;
    int m_Plus = 1;
    double m_Data = 0.0;
    CString* m_pStrData;                       // owned
    CArticRulElmList* m_pRulElmList = nullptr;  // owned, with its elements
    mutable NumForm m_NumForm = NumForm::Unknown;
};
