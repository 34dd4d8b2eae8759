#include "core/NumericText.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace NumericText {

QString toHalfWidth(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= u'０' && u <= u'９')
            result += QChar(u'0' + (u - u'０'));
        else if (u == u'－' || u == u'−')
            result += QLatin1Char('-');
        else if (u == u'＋')
            result += QLatin1Char('+');
        else if (u == u'．')
            result += QLatin1Char('.');
        else
            result += c;
    }
    return result.trimmed();
}

std::optional<double> toReal(const QString& text)
{
    static const QRegularExpression plainDecimal(QStringLiteral("^[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)$"));
    const QString half = toHalfWidth(text);
    if (!plainDecimal.match(half).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = half.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

long long roundHalfEven(double value)
{
    return static_cast<long long>(std::nearbyint(value));  // default rounding mode: to nearest, ties to even
}

std::optional<int> toInteger(const QString& text)
{
    const std::optional<double> real = toReal(text);
    if (!real || std::fabs(*real) > static_cast<double>(std::numeric_limits<int>::max()))
        return std::nullopt;
    return static_cast<int>(roundHalfEven(*real));
}

bool inRange(const QString& text, int lo, int hi)
{
    const std::optional<double> real = toReal(text);
    if (!real || *real < lo || *real > hi)
        return false;
    const std::optional<int> integer = toInteger(text);
    return integer && *integer >= lo && *integer <= hi;
}

bool wholeInRange(const QString& text, int lo, int hi)
{
    const std::optional<double> real = toReal(text);
    return real && *real == std::floor(*real) && *real >= lo && *real <= hi;
}

QString rangeLine(int lo, int hi)
{
    return QStringLiteral("%1～%2の値を設定してください。").arg(lo).arg(hi);
}

QString invalidValueMessage(int lo, int hi)
{
    return QStringLiteral("入力した値が不正です。\r\n") + rangeLine(lo, hi);
}

}  // namespace NumericText
