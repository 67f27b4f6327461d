// CP1251 (the code page of existing show files) <-> UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace spirelo {

std::string Cp1251ToUtf8(std::string_view cp1251);
// Characters with no CP1251 form become '?'.
std::string Utf8ToCp1251(std::string_view utf8);
bool IsValidUtf8(std::string_view bytes);
// Text read from a file the user may have made elsewhere: UTF-8 kept, else taken as CP1251.
std::string TextFileToUtf8(std::string_view bytes);
// The same for one line of such a file: the entries of a list are decided one by one, so an old
// CP1251 entry does not garble the UTF-8 entries added beside it.
std::string LineToUtf8(std::string_view bytes);
std::string_view WithoutByteOrderMark(std::string_view bytes);

// A fixed name field (no terminator, padded with 0): the bytes up to the first 0, as UTF-8.
std::string NameFieldToUtf8(const uint8_t* field, size_t size);
// Writes utf8 as CP1251 into the field, cut to size, rest filled with 0.
void Utf8ToNameField(std::string_view utf8, uint8_t* field, size_t size);

// A blank-padded name field written from an edit: the first `size` characters as CP1251,
// the rest blanks.
void Utf8ToPaddedField(std::string_view utf8, uint8_t* field, size_t size);
// A blank-padded name as an edit shows it: trailing blanks dropped, leading ones kept, so the
// caret lands after what the operator sees.
std::string NameForEdit(std::string_view name);

}  // namespace spirelo
