/// \file
/// Text, number and geometry functions shared by the exchange class and the dialog (target
/// r407::util). Texts are UTF-16; indexes are 0-based and count UTF-16 code units.
#pragma once

#include <string>
#include <string_view>

/// @name Text and numbers
///@{
/// True for "T", "TR", "TRU", "TRUE", "ON", "1" in any case, and for "１", "○", "真", "正".
bool TextIsTrue(std::u16string_view text);
/// "1" or "0".
std::u16string BoolToText(bool value);
/// A decimal ("-12") or hexadecimal ("$1F", "0x1F") integer after leading blanks; 0 for any
/// other text and for a value beyond 32 bits.
int TextToInt(std::u16string_view text);
/// The decimal form of value.
std::u16string IntToText(int value);
/// A decimal number with sign, decimal point and exponent, as the host writes it; 0 for a text
/// that is no number and for a value beyond the range of a double.
double TextToFloat(std::u16string_view text);
/// A number as the exchange file carries it: at most 15 significant digits, fixed notation
/// from 0.0001 up to just below 10^15, else an exponent; the user's decimal separator
/// (Platform::DecimalSeparator).
std::u16string FloatToText(double value);
/// The length in UTF-16 code units.
int TextLen(std::u16string_view text);
/// The code unit at index as a text; empty outside the text.
std::u16string CharAt(std::u16string_view text, int index);
/// Upper case for comparisons that ignore case (Platform::UpperCaseLocale); same length.
std::u16string UpperText(std::u16string_view text);
/// The index of the first sub in text; -1 when absent or when either is empty.
int FindText(std::u16string_view sub, std::u16string_view text);
/// The text from index on; the whole text for a negative index.
std::u16string TextFrom(std::u16string_view text, int index);
/// At most count code units from index on; a negative index counts as 0.
std::u16string TextMid(std::u16string_view text, int index, int count);
/// The text without control characters, blanks and ideographic blanks (U+3000).
std::u16string StripBlanks(std::u16string_view text);
/// Whether a one-character text is half-width: printable ASCII or half-width katakana.
bool IsHalfWidth(std::u16string_view text);
/// The first code unit's kind: 1 the first half of a surrogate pair, 2 the second, else 0.
int SurrogateKind(std::u16string_view text);
/// Whether fileName names a regular file.
bool ExistsFile(const std::u16string& fileName);
/// Deletes the file fileName (never a folder); false when nothing was deleted.
bool RemoveFile(const std::u16string& fileName);
/// Whether the user holds the Escape key down now (Platform::EscapeKeyDown): the X server's
/// keyboard on Linux, the asynchronous key state on Windows; false without either.
bool EscapePressed();
/// red + 256 green + 65536 blue, as the host stores a colour.
int MakeRGB(int red, int green, int blue);
///@}

/// @name Writers that build a line in place
///@{
/// Appends IntToText(value) to out.
void AppendIntText(std::u16string& out, int value);
/// Appends FloatToText(value) to out.
void AppendFloatText(std::u16string& out, double value);
///@}

/// @name Numbers and plane geometry
/// Angles are in radians unless the name says degrees.
///@{
/// value cut to digits decimal places: mode 0 drops the rest, mode 1 rounds away from zero
/// unless the rest is below a tenth of the last place, any other mode rounds halves away from
/// zero.
double RoundDigits(double value, int digits, int mode);
/// The x coordinate of (x, y) turned by ang about (cx, cy).
double RotateX(double x, double y, double cx, double cy, double ang);
/// The y coordinate of (x, y) turned by ang about (cx, cy).
double RotateY(double x, double y, double cx, double cy, double ang);
/// The direction of the vector (dx, dy), 0 to 2 pi.
double VectorAngle(double dx, double dy);
/// The direction of the vector (dx, dy) in degrees, 0 to 360.
double VectorAngleDeg(double dx, double dy);
/// The distance between (x1, y1) and (x2, y2).
double PointDistance(double x1, double y1, double x2, double y2);
/// The drawn length of text with character width w and spacing d, a full-width character
/// counting twice a half-width one.
double TextLength(std::u16string_view text, double w, double d);
/// Whether a and b are equal within the exchange file's tolerance.
bool SameFloat(double a, double b);
///@}
