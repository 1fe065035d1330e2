#pragma once

#include <QString>

#include "PackageCheck.h"

namespace k57 {

// Why a package is refused, in the technician's words; `unitVersion`, the
// unit's firmware, for the refusals that weigh the package against it.
QString PackageRefusalText(const PackageCheck& check, const QString& unitVersion = {});
// What a good package is, for the question before it is installed: kind,
// version and product, what it may replace, when it was made, who signed
// it (`source`: the trusted key's file, empty for the key built into the
// program) and its notes in the interface's language.
QString PackageDescription(const PackageCheck& check, const QString& source);

}  // namespace k57
