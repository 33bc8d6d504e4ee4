#include "document/linereader.h"

#include <cstring>

namespace {
constexpr qsizetype kChunk = 64 * 1024;
}

CrLineReader::CrLineReader(QIODevice& device, qsizetype maxLine)
    : mDevice(device), mMaxLine(maxLine)
{
}

bool CrLineReader::fill()
{
    if (mAtEnd || mError)
        return false;
    if (mPos > 0) { // drop what has been handed out already
        mBuf.remove(0, mPos);
        mPos = 0;
    }
    const qsizetype old = mBuf.size();
    mBuf.resize(old + kChunk);
    const qint64 got = mDevice.read(mBuf.data() + old, kChunk);
    if (got < 0) {
        mError = true;
        mBuf.resize(old);
        return false;
    }
    mBuf.resize(old + qsizetype(got));
    if (got == 0) {
        mAtEnd = true;
        return false;
    }
    return true;
}

CrLineReader::Status CrLineReader::next(QByteArray& line)
{
    qsizetype searchFrom = mPos;
    for (;;) {
        const qsizetype cr = mBuf.indexOf('\r', searchFrom);
        if (cr >= 0) {
            if (cr - mPos > mMaxLine)
                return Status::TooLong;
            line.resize(cr - mPos); // reuses the caller's buffer
            memcpy(line.data(), mBuf.constData() + mPos, size_t(cr - mPos));
            mPos = cr + 1;
            if (mPos == mBuf.size())
                fill(); // the LF of a CR LF may be in the next chunk
            if (mPos < mBuf.size() && mBuf[mPos] == '\n')
                ++mPos;
            return Status::Line;
        }
        if (mBuf.size() - mPos > mMaxLine)
            return Status::TooLong;
        const qsizetype scanned = mBuf.size() - mPos;
        if (!fill()) {
            if (mError)
                return Status::Error;
            if (mPos < mBuf.size()) {
                line = mBuf.sliced(mPos);
                mPos = mBuf.size();
                return Status::Line;
            }
            return Status::End;
        }
        searchFrom = mPos + scanned;
    }
}
