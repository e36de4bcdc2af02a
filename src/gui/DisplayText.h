#pragma once

#include <QString>
#include <string_view>

// Cells are bytes: valid UTF-8 shows as UTF-8, anything else (catalogs written with an 8-bit
// code page) as Latin-1, so every byte shows as some character.
QString DisplayText(std::string_view bytes);
