// Fuzzes the decoding of received bytes for the pane: any bytes decode, a
// non-empty input without zero bytes never gives an empty text, and no byte
// gives more than one character.
#include "ui/ReceiveTextDecoder.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The pane decodes in the user's locale; UTF-8 has the most ways to go wrong.
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::wstring text = DecodeReceivedText(data, size);
    const auto nonZero = static_cast<size_t>(std::count_if(data, data + size, [](uint8_t b) { return b != 0; }));
    if (nonZero > 0 && text.empty())
        std::abort();
    if (text.size() > nonZero)
        std::abort();
    if (std::find(text.begin(), text.end(), L'\0') != text.end())
        std::abort();
    return 0;
}
