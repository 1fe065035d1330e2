#include "BlfReader.h"
namespace k57 {
void ReadBlf(std::istream&, long long, CanRecording&) {}
}
