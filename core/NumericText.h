#pragma once
#include <QString>
#include <optional>

// What the user types into a number box, made safe to check and store.
namespace NumericText {

// Full-width digits, minus and point (０-９, －, ．) become half-width;
// surrounding blanks are dropped.
QString toHalfWidth(const QString& text);

// A plain decimal number only: optional sign, digits, at most one point,
// at least one digit. "1e1", "inf", "nan", "0x1F" and "" are not numbers.
// Full-width characters are accepted (converted first).
std::optional<double> toReal(const QString& text);

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
long long roundHalfEven(double value);

// The integer a box stands for: the real number rounded half to even;
// nothing when the text is not a number or does not fit the int range.
std::optional<int> toInteger(const QString& text);

// True when the text is a number whose real value and rounded integer both
// lie within lo..hi.
bool inRange(const QString& text, int lo, int hi);

// True when the text is a whole number (no fraction; "5.0" is whole) within
// lo..hi.
bool wholeInRange(const QString& text, int lo, int hi);

// "入力した値が不正です。" + CR LF + "lo～hiの値を設定してください。"
QString invalidValueMessage(int lo, int hi);
// "lo～hiの値を設定してください。"
QString rangeLine(int lo, int hi);

}  // namespace NumericText
