#include "editing/menuenable.h"

EditEnables Menu_EnableRule(const BlkRec& blk)
{
    EditEnables e;
    e.lineDel = e.lineDelAll = blk.LineCnt > 0;
    e.lineIn = e.pointDel = blk.PntCnt > 0;
    return e;
}
