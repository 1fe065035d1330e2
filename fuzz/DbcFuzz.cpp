// The DBC parser on any text, in each code page, and the decoder on the
// database it made: every message decodes frames of every length.

#include "Decoder.h"
#include "Parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    using namespace k57::dbc;
    Encoding encoding = Encoding(data[0] % 3);
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    ParseResult result = Parse(text, encoding, "fuzz.dbc");
    for (const Diagnostic& diagnostic : result.diagnostics) {
        (void)diagnostic.ToString();
    }
    uint8_t frame[BitPlan::kMaxBytes];
    for (size_t i = 0; i < sizeof frame; ++i) {
        frame[i] = uint8_t(i * 37 + size);
    }
    std::vector<Value> values;
    for (const Message& message : result.database.messages) {
        for (size_t length : {size_t(0), size_t(1), size_t(8), sizeof frame}) {
            Decode(message, frame, length, values);
        }
        if (result.database.Find(message.id, message.extended) == nullptr) {
            __builtin_trap();  // every message read must be found by its identifier
        }
    }
    return 0;
}
