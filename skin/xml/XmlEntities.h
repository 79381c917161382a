// Look-up of the named character references that attribute values may carry.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Velmora {

// Code point of an entity name (without "&" and ";"), letter case ignored except that the
// all-lower-case spelling of a name defined in two cases gives the lower-case character.
// Returns 0 for an unknown name.
uint32_t LookupEntity(const char* name, size_t length);

} // namespace Velmora
