// Whether a loaded library really exports an ordinal, read from its own PE
// export table. GetProcAddress is documented to be able to answer with an
// address for an ordinal that a library with gaps in its numbering does not
// export; the client's libraries are numbered with gaps.
#pragma once

#include <cstddef>
#include <cstdint>

enum class OrdinalExport {
  Exported,
  NotExported,  // outside [Base, Base + NumberOfFunctions) or an empty entry
  BadImage,     // headers or export table malformed or out of bounds
};

// `image` is the library as mapped (its module handle); `headerBytes` how many
// bytes from there may be read before the headers are known (the mapped
// header pages). Every later offset is checked against the image's own
// SizeOfImage; a 32- or 64-bit image is read alike.
OrdinalExport FindOrdinalExport(const unsigned char* image, size_t headerBytes, uint16_t ordinal);
