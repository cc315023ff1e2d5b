#pragma once

#include "script/functions.h"
#include "script/value.h"

#include <QStringView>

namespace vesko::script {

// The built-in constants (vbCrLf, vbTextCompare, ...), by name in any case; nullptr if none.
const Variant* LookupConstant(QStringView name);

// The built-in functions, by name in any case; nullptr if none.
const FunctionInfo* LookupFunction(QStringView name);

// The argument counts a built-in function accepts.
const FunctionInfo& FunctionInfoOf(FunctionId id);

}  // namespace vesko::script
