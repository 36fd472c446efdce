#pragma once
// The fields of kv_encode_options that the C API reads, by name, so that a
// test can hold them against the option table.

#include <string_view>
#include <vector>

namespace korvane::detail {

std::vector<std::string_view> cEncodeOptionNames();

}  // namespace korvane::detail
