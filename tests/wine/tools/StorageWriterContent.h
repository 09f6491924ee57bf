// The two contents storage_writer.exe alternates between, shared with the
// test that checks what a killed writer leaves.
#pragma once

#include <string>

#include "settings/DStorage.h"

// Big enough that a write takes a while and a kill often lands inside one.
inline void WriteWriterContent(TDStorage& store, int version)
{
    store.WriteString("Anna", "Text", std::string(20000, version ? 'b' : 'a'));
}
