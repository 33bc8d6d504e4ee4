#pragma once

#include <string>

// Numbers as DXF files hold them, without a digit lost or invented.
namespace DxfNumbers {

// The shortest decimal text that reads back as v ("1235", "0.1", "-2.5e-07").
std::string shortest(double v);

// v with its decimal point moved by places (3: metres to millimetres, -3:
// millimetres to metres), done on v's shortest decimal text, so that 1.235
// becomes exactly 1235 and 1235 exactly the double nearest 1.235.
double shiftDecimal(double v, int places);

// Reads a whole DXF value as a number (blanks around it allowed); false when
// the text is not one or is not finite.
bool parseReal(const std::string& text, double& out);
bool parseInt(const std::string& text, long long& out);

} // namespace DxfNumbers
