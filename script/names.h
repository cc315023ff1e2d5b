#pragma once

#include "script/value.h"

#include <QStringView>

namespace vesko::script {

// The built-in constants (vbCrLf, vbTextCompare, ...), by name in any case; nullptr if none.
const Variant* LookupConstant(QStringView name);

}  // namespace vesko::script
