#pragma once
// Expression helpers shared with the work data: sharing event lists, and the
// parameter writers of the expression text form, chosen by class name.
#include <initializer_list>

#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ExString.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"

class CArticExp;
class CArticExpBlk;
class CArticExpCreNote;
class CArticExpCreNote2;
class CArticExpDebug_d;
class CArticExpDebug_i;
class CArticExpDebug_i2;
class CArticExpDel;
class CArticExpDurAbs;
class CArticExpDurAll;
class CArticExpDurBp;
class CArticExpDurRel;
class CArticExpDurRel2;
class CArticExpEvnt;
class CArticExpKeySft;
class CArticExpArrayStop;
class CArticExpArrayUsrStop;
class CArticExpArrayTurn1;
class CArticExpArrayTurn2;
class CArticExpArrayTurn3;
class CArticExpArrayTurn4;
class CArticExpArrayTurn5;
class CArticExpArrayTurn6;
class CArticExpArrayTrill1;
class CArticExpArrayTrill2;
class CArticExpTimeSft;
class CArticExpTimeSft2;
class CArticExpTimeSwing;
class CArticExpTimeWaltz;
class CArticExpInitPrmChange;
class CArticExpInitPrmChange2;
class CArticExpInitPrmChange3;
class CArticExpInitPrmChangeKv;
class CArticExpInitPrmChangeKv2;
class CArticExpInitPrmChangeKv3;
class CArticExpInitKvinit;
class CArticExpInitKvinit2;
class CArticExpInitPro;
class CArticExpInitPro2;
class CArticExpInitPro3;
class CArticExpInitPbRange;
class CArticExpInitPbRange2;
class CArticExpInitPbRange3;
class CArticExpStresVeloNoteAbs;
class CArticExpStresVeloNoteRel;
class CArticExpStresVeloTimeAbs;
class CArticExpStresVeloTimeRel;
class CArticExpStresVeloTimeRelCrv;
class CArticExpArraySlurPb;
class CArticExpArraySlurDur;
class CArticExpArrayTie;
class CArticExpPitchCrv;
class CArticExpPitchCrv2;
class CArticExpPitchSlide;
class CArticExpPitchSlide2;
class CArticExpPitchGtrBend;
class CArticExpPitchGtrSlide;
class CArticExpStresContCcTimeAbs;
class CArticExpStresContCcTimeRelFix;
class CArticExpStresContCcTimeRelAreaFix;
class CArticExpStresContCcTimeRelCrv;
class CArticExpStresContCcNoteCrv;
class CArticExpStresContCcNoteCreAbs;
class CArticExpStresContCcNoteCreAbs2;
class CArticExpStresContCcNoteCreRel;
class CArticExpStresContCcNoteCreRel2;
class CArticExpOrgContCc;
class CArticExpPackNrpnNoteCreAbs;
class CArticExpPackNrpnNoteCreRel;
class CArticExpPackRpnNoteCreAbs;
class CArticExpPackRpnNoteCreRel;
class CArticExpTempoAbs;
class CArticExpTempoAbsRel;
class CArticExpTempoRelFix;
class CArticExpTempoRelCrv;
class CArticExpTempoFermata;
class CArticExpTempoBreath;
class CArticExpFileSmfContCc;
class CArticExpFileSmfContCc2;
class CArticExpFileSmfContCc3;
class CArticExpFileSmfContPb;
class CArticExpFileSmfContPb2;
class CArticExpFileSmfContPb3;
class CArticExpFileSmfContPb4;
class CArticExpFileSmfContPbEg;
class CArticExpFileSmfContPbEg2;
class CArticExpFileSmfFree;
class CArticExpFileSmfNoteTril2;
class CArticExpFileSmfNoteTril3;
class CArticExpFileSmfNoteTurn;
class CArticExpFileSmfNoteTurn2;
class CArticExpFileSmfNoteMord2;
class CArticExpFileSmfNoteTrml1;
class CArticExpFileSmfNoteTrml2;
class CArticExpFileSmfNoteGlis1;
class CArticExpFileSmfNoteArpg;
class CArticExpLayerBow1;
class CArticExpLayerBow2;
class CArticExpLayerNote1;
class CArticExpLayerNote2;
class CArticMeas;
class CArticWrk;

using CArticExpEvntList = CTypedPtrList<CObList, CArticExpEvnt*>;

class CArticExpUtil : public CObject {
public:
    // Appends every non-null pointer of src to dst (the events are shared);
    // nothing when either list is missing.
    static void CopyEvntList(const CArticWrkEvntList* src, CArticWrkEvntList* dst);
    // Appends the items of one expression: 0 (also for null); the writer's
    // failure; 1 with an error entry for a class without a writer.
    static int GetEvntParam(CArticExpEvnt* evnt, CStringList& items);

    // A copy of src in block blk under number evntNo: an object of src's
    // class built with the class's defaults and assigned from src, its
    // error state clear; with wrk, re-pointed into wrk. 0 (nothing made for
    // a null src); 1 with an error entry for a class outside the catalogue.
    // The caller appends the copy; without out none is kept.
    static int CopyEvnt(CArticExpEvnt* src, CArticExpEvnt** out, CArticExpBlk* blk, ULONG evntNo, CArticWrk* wrk);

    // Appends every non-null pointer of src to dst (the expressions are
    // shared, not copied); nothing when either list is missing.
    static void CopyEvntList(const CArticExpEvntList* src, CArticExpEvntList* dst);
    // Replaces dst's content by copies of src's tracks, blocks and
    // expressions, re-pointed into wrk (a new track carries no channel or
    // port). An expression that cannot be copied is left out (its error
    // recorded) and the others are copied. 0, also when there is nothing to
    // copy; 1 for a missing argument, a source without tracks, src and dst
    // the same set (left untouched) or an expression left out.
    static int CopyExp(CArticExp* src, CArticExp* dst, CArticWrk* wrk);
    // The same without the debugging expressions, which are passed over.
    static int CopyExpForCore(CArticExp* src, CArticExp* dst, CArticWrk* wrk);
    // The block numbered blkNo of the track numbered trkNo; null when the
    // data, the track or the block is missing.
    static CArticExpBlk* GetExpBlk(CArticExp* exp, ULONG trkNo, ULONG blkNo);

    // ---- Parameter writers: the items of one expression in constructor
    // order, the note list first: 0; 1 for null; the note-list writer's failure.
    static int GetExpCreNoteParam(CArticExpCreNote* evnt, CStringList& items);
    static int GetExpCreNote2Param(CArticExpCreNote2* evnt, CStringList& items);
    static int GetExpDelParam(CArticExpDel* evnt, CStringList& items);
    static int GetExpDebug_iParam(CArticExpDebug_i* evnt, CStringList& items);
    static int GetExpDebug_i2Param(CArticExpDebug_i2* evnt, CStringList& items);
    static int GetExpDebug_dParam(CArticExpDebug_d* evnt, CStringList& items);
    static int GetExpStresVeloNoteAbsParam(CArticExpStresVeloNoteAbs* evnt, CStringList& items);
    static int GetExpStresVeloNoteRelParam(CArticExpStresVeloNoteRel* evnt, CStringList& items);
    static int GetExpStresVeloTimeAbsParam(CArticExpStresVeloTimeAbs* evnt, CStringList& items);
    static int GetExpStresVeloTimeRelParam(CArticExpStresVeloTimeRel* evnt, CStringList& items);
    static int GetExpStresVeloTimeRelCrvParam(CArticExpStresVeloTimeRelCrv* evnt, CStringList& items);
    static int GetExpDurRelParam(CArticExpDurRel* evnt, CStringList& items);
    static int GetExpDurRel2Param(CArticExpDurRel2* evnt, CStringList& items);
    static int GetExpDurAbsParam(CArticExpDurAbs* evnt, CStringList& items);
    static int GetExpDurBpParam(CArticExpDurBp* evnt, CStringList& items);
    static int GetExpDurAllParam(CArticExpDurAll* evnt, CStringList& items);
    static int GetExpKeySftParam(CArticExpKeySft* evnt, CStringList& items);
    static int GetExpInitPrmChangeParam(CArticExpInitPrmChange* evnt, CStringList& items);
    static int GetExpInitPrmChange2Param(CArticExpInitPrmChange2* evnt, CStringList& items);
    static int GetExpInitPrmChange3Param(CArticExpInitPrmChange3* evnt, CStringList& items);
    static int GetExpInitPrmChangeKvParam(CArticExpInitPrmChangeKv* evnt, CStringList& items);
    static int GetExpInitPrmChangeKv2Param(CArticExpInitPrmChangeKv2* evnt, CStringList& items);
    static int GetExpInitPrmChangeKv3Param(CArticExpInitPrmChangeKv3* evnt, CStringList& items);
    static int GetExpInitKvinitParam(CArticExpInitKvinit* evnt, CStringList& items);
    static int GetExpInitKvinit2Param(CArticExpInitKvinit2* evnt, CStringList& items);
    static int GetExpInitProParam(CArticExpInitPro* evnt, CStringList& items);
    static int GetExpInitPro2Param(CArticExpInitPro2* evnt, CStringList& items);
    static int GetExpInitPro3Param(CArticExpInitPro3* evnt, CStringList& items);
    static int GetExpInitPbRangeParam(CArticExpInitPbRange* evnt, CStringList& items);
    static int GetExpInitPbRange2Param(CArticExpInitPbRange2* evnt, CStringList& items);
    static int GetExpInitPbRange3Param(CArticExpInitPbRange3* evnt, CStringList& items);
    static int GetExpTimeSftParam(CArticExpTimeSft* evnt, CStringList& items);
    static int GetExpTimeSft2Param(CArticExpTimeSft2* evnt, CStringList& items);
    static int GetExpTimeSwingParam(CArticExpTimeSwing* evnt, CStringList& items);
    static int GetExpTimeWaltzParam(CArticExpTimeWaltz* evnt, CStringList& items);
    static int GetExpArrayTurn1Param(CArticExpArrayTurn1* evnt, CStringList& items);
    static int GetExpArrayTurn2Param(CArticExpArrayTurn2* evnt, CStringList& items);
    static int GetExpArrayTurn3Param(CArticExpArrayTurn3* evnt, CStringList& items);
    static int GetExpArrayTurn4Param(CArticExpArrayTurn4* evnt, CStringList& items);
    static int GetExpArrayTurn5Param(CArticExpArrayTurn5* evnt, CStringList& items);
    static int GetExpArrayTurn6Param(CArticExpArrayTurn6* evnt, CStringList& items);
    static int GetExpArrayTrill1Param(CArticExpArrayTrill1* evnt, CStringList& items);
    static int GetExpArrayTrill2Param(CArticExpArrayTrill2* evnt, CStringList& items);
    static int GetExpArrayStopParam(CArticExpArrayStop* evnt, CStringList& items);
    static int GetExpArrayUsrStopParam(CArticExpArrayUsrStop* evnt, CStringList& items);
    static int GetExpArraySlurPbParam(CArticExpArraySlurPb* evnt, CStringList& items);
    static int GetExpArraySlurDurParam(CArticExpArraySlurDur* evnt, CStringList& items);
    static int GetExpArrayTieParam(CArticExpArrayTie* evnt, CStringList& items);
    static int GetExpPitchCrvParam(CArticExpPitchCrv* evnt, CStringList& items);
    static int GetExpPitchCrv2Param(CArticExpPitchCrv2* evnt, CStringList& items);
    static int GetExpPitchSlideParam(CArticExpPitchSlide* evnt, CStringList& items);
    static int GetExpPitchSlide2Param(CArticExpPitchSlide2* evnt, CStringList& items);
    static int GetExpPitchGtrBendParam(CArticExpPitchGtrBend* evnt, CStringList& items);
    static int GetExpPitchGtrSlideParam(CArticExpPitchGtrSlide* evnt, CStringList& items);
    static int GetExpStresContCcTimeAbsParam(CArticExpStresContCcTimeAbs* evnt, CStringList& items);
    static int GetExpStresContCcTimeRelFixParam(CArticExpStresContCcTimeRelFix* evnt, CStringList& items);
    static int GetExpStresContCcTimeRelAreaFixParam(CArticExpStresContCcTimeRelAreaFix* evnt, CStringList& items);
    static int GetExpStresContCcTimeRelCrvParam(CArticExpStresContCcTimeRelCrv* evnt, CStringList& items);
    static int GetExpStresContCcNoteCrvParam(CArticExpStresContCcNoteCrv* evnt, CStringList& items);
    static int GetExpStresContCcNoteCreAbsParam(CArticExpStresContCcNoteCreAbs* evnt, CStringList& items);
    static int GetExpStresContCcNoteCreAbs2Param(CArticExpStresContCcNoteCreAbs2* evnt, CStringList& items);
    static int GetExpStresContCcNoteCreRelParam(CArticExpStresContCcNoteCreRel* evnt, CStringList& items);
    static int GetExpStresContCcNoteCreRel2Param(CArticExpStresContCcNoteCreRel2* evnt, CStringList& items);
    static int GetExpOrgContCcParam(CArticExpOrgContCc* evnt, CStringList& items);
    static int GetExpPackNrpnNoteCreAbsParam(CArticExpPackNrpnNoteCreAbs* evnt, CStringList& items);
    static int GetExpPackNrpnNoteCreRelParam(CArticExpPackNrpnNoteCreRel* evnt, CStringList& items);
    static int GetExpPackRpnNoteCreAbsParam(CArticExpPackRpnNoteCreAbs* evnt, CStringList& items);
    static int GetExpPackRpnNoteCreRelParam(CArticExpPackRpnNoteCreRel* evnt, CStringList& items);
    static int GetExpTempoAbsParam(CArticExpTempoAbs* evnt, CStringList& items);
    static int GetExpTempoAbsRelParam(CArticExpTempoAbsRel* evnt, CStringList& items);
    static int GetExpTempoRelFixParam(CArticExpTempoRelFix* evnt, CStringList& items);
    static int GetExpTempoRelCrvParam(CArticExpTempoRelCrv* evnt, CStringList& items);
    static int GetExpTempoFermataParam(CArticExpTempoFermata* evnt, CStringList& items);
    static int GetExpTempoBreathParam(CArticExpTempoBreath* evnt, CStringList& items);
    static int GetExpFileSmfContCcParam(CArticExpFileSmfContCc* evnt, CStringList& items);
    static int GetExpFileSmfContCc2Param(CArticExpFileSmfContCc2* evnt, CStringList& items);
    static int GetExpFileSmfContCc3Param(CArticExpFileSmfContCc3* evnt, CStringList& items);
    static int GetExpFileSmfContPbParam(CArticExpFileSmfContPb* evnt, CStringList& items);
    static int GetExpFileSmfContPb2Param(CArticExpFileSmfContPb2* evnt, CStringList& items);
    static int GetExpFileSmfContPb3Param(CArticExpFileSmfContPb3* evnt, CStringList& items);
    static int GetExpFileSmfContPb4Param(CArticExpFileSmfContPb4* evnt, CStringList& items);
    static int GetExpFileSmfContPbEgParam(CArticExpFileSmfContPbEg* evnt, CStringList& items);
    static int GetExpFileSmfContPbEg2Param(CArticExpFileSmfContPbEg2* evnt, CStringList& items);
    static int GetExpFileSmfFreeParam(CArticExpFileSmfFree* evnt, CStringList& items);
    static int GetExpFileSmfNoteTril2Param(CArticExpFileSmfNoteTril2* evnt, CStringList& items);
    static int GetExpFileSmfNoteTril3Param(CArticExpFileSmfNoteTril3* evnt, CStringList& items);
    static int GetExpFileSmfNoteTurnParam(CArticExpFileSmfNoteTurn* evnt, CStringList& items);
    static int GetExpFileSmfNoteTurn2Param(CArticExpFileSmfNoteTurn2* evnt, CStringList& items);
    static int GetExpFileSmfNoteMord2Param(CArticExpFileSmfNoteMord2* evnt, CStringList& items);
    static int GetExpFileSmfNoteTrml1Param(CArticExpFileSmfNoteTrml1* evnt, CStringList& items);
    static int GetExpFileSmfNoteTrml2Param(CArticExpFileSmfNoteTrml2* evnt, CStringList& items);
    static int GetExpFileSmfNoteGlis1Param(CArticExpFileSmfNoteGlis1* evnt, CStringList& items);
    static int GetExpFileSmfNoteArpgParam(CArticExpFileSmfNoteArpg* evnt, CStringList& items);
    static int GetExpLayerBow1Param(CArticExpLayerBow1* evnt, CStringList& items);
    static int GetExpLayerBow2Param(CArticExpLayerBow2* evnt, CStringList& items);
    static int GetExpLayerNote1Param(CArticExpLayerNote1* evnt, CStringList& items);
    static int GetExpLayerNote2Param(CArticExpLayerNote2* evnt, CStringList& items);

    // A file-name (or text) item off the front of text: the token up to the
    // next of ",(){}" (':' is ordinary, a double-byte character is never
    // split), which ',' must follow, its double quotes removed. 0 and text
    // left at that ','; 1 for an empty text or no ',' after the token.
    static int GetFileName(CExString& text, CString& name);

    // ---- Items shared by the writers
    // The note list "count{:wN,...}" against the expression's work data, or
    // its middle work data when it has none: 0, or the list writer's failure.
    static int AddNoteListItem(const CArticExpEvnt* evnt, CArticWrkEvntList* list, CStringList& items);
    static CString LongText(LONG value);
    static CString ULongText(ULONG value);
    // One parameter row: the expression's note list, then the given items
    // (or numbers): 0, 1 without the expression, or the list writer's failure.
    template <class T>
    static int AddNotesThen(T* evnt, CStringList& items, std::initializer_list<CString> more) {
        if (!evnt) return 1;
        CStringList out;
        if (int rc = AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
        for (const CString& v : more) out.AddTail(v);
        items.AddTail(out);
        return 0;
    }
    template <class T>
    static int AddNotesThenNumbers(T* evnt, CStringList& items, std::initializer_list<LONG> numbers) {
        if (!evnt) return 1;
        CStringList out;
        if (int rc = AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
        for (LONG n : numbers) out.AddTail(LongText(n));
        items.AddTail(out);
        return 0;
    }
    // "bar/beat/tick".
    static CString MeasText(const CArticMeas& meas);
    // The text between double quotes.
    static CString QuotedText(const CString& text);

    // The argument signature of an expression class that "#exp" lines may
    // call: the count and one argument-type mask per argument, 0. Any other
    // name (other letter case included): 1 and nothing stored. masks needs
    // kMaxExpArgs entries.
    static int GetArgmentInfo(CExString& name, int* count, int* masks);
    static constexpr int kMaxExpArgs = 13;
    static constexpr int kExpClassCount = 97;
};
