// MyFunc: text, number and geometry functions shared by the exchange class and the dialog.
#pragma once

#include <string>
#include <string_view>

// Text and numbers. Indexes are 0-based and count UTF-16 code units.
bool TextIsTrue(std::u16string_view text);
std::u16string BoolToText(bool value);
int TextToInt(std::u16string_view text);
std::u16string IntToText(int value);
double TextToFloat(std::u16string_view text);
std::u16string FloatToText(double value);
int TextLen(std::u16string_view text);
std::u16string CharAt(std::u16string_view text, int index);
std::u16string UpperText(std::u16string_view text);
int FindText(std::u16string_view sub, std::u16string_view text);
std::u16string TextFrom(std::u16string_view text, int index);
std::u16string TextMid(std::u16string_view text, int index, int count);
std::u16string StripBlanks(std::u16string_view text);
bool IsHalfWidth(std::u16string_view text);
int SurrogateKind(std::u16string_view text);
bool ExistsFile(const std::u16string& fileName);
bool RemoveFile(const std::u16string& fileName);
bool EscapePressed();
int MakeRGB(int red, int green, int blue);

// Appending forms of IntToText and FloatToText, for writers that build a line in place.
void AppendIntText(std::u16string& out, int value);
void AppendFloatText(std::u16string& out, double value);

// Numbers and plane geometry. Angles in radians unless the name says degrees.
double RoundDigits(double value, int digits, int mode);
double RotateX(double x, double y, double cx, double cy, double ang);
double RotateY(double x, double y, double cx, double cy, double ang);
double VectorAngle(double dx, double dy);
double VectorAngleDeg(double dx, double dy);
double PointDistance(double x1, double y1, double x2, double y2);
double TextLength(std::u16string_view text, double w, double d);
bool SameFloat(double a, double b);
