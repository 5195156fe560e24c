// What a document has kept of the received bytes, read the way the view
// reads it. Any thread.
#pragma once

#include "document/CTaliardDoc.h"

#include <cstdint>

namespace testsupport {

inline ReceiveSlice WholeReceiveBuffer(const CTaliardDoc& doc)
{
    ReceiveSlice slice;
    doc.CopyReceived(0, 0, slice);
    return slice;
}

// Bytes kept since the connect, the ones the buffer dropped included.
inline uint64_t ReceivedTotal(const CTaliardDoc& doc)
{
    const ReceiveSlice slice = WholeReceiveBuffer(doc);
    return slice.start + slice.bytes.size();
}

} // namespace testsupport
