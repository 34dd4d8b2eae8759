#include "settings/SpecialNames.h"

#include "core/platform/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

#include <cmath>

namespace SpecialNames {

namespace {

// Far more than 99 names and years of 日課 choices; anything larger is not ours.
constexpr qint64 kMaxFileBytes = 1024 * 1024;

const QString kNamesKey = QStringLiteral("specialNames");
const QString kChoicesKey = QStringLiteral("dutyChoices");
const QString kClearWord = QStringLiteral("なし");
const QString kStopWord = QStringLiteral("停止");

bool isSpecial(int number)
{
    return number >= kFirstSpecial && number <= kLastSpecial;
}

// "1".."99" exactly, as the file writes them.
std::optional<int> specialKey(const QString& key)
{
    bool ok = false;
    const int number = key.toInt(&ok);
    if (!ok || !isSpecial(number) || key != QString::number(number))
        return std::nullopt;
    return number;
}

std::optional<DutyChoice> choiceFrom(const QJsonValue& value)
{
    if (value.isString()) {
        if (value.toString() == kClearWord)
            return DutyChoice::clear();
        if (value.toString() == kStopWord)
            return DutyChoice::stop();
        return std::nullopt;
    }
    // Range first: a huge number does not fit an int.
    const double number = value.toDouble(-1);
    if (number < kFirstSpecial || number > kLastSpecial || number != std::floor(number))
        return std::nullopt;
    return DutyChoice::runSpecial(int(number));
}

QJsonValue choiceValue(const DutyChoice& choice)
{
    switch (choice.kind) {
    case DutyChoice::Clear:
        return kClearWord;
    case DutyChoice::Stop:
        return kStopWord;
    case DutyChoice::Special:
        break;
    }
    return choice.special;
}

}  // namespace

std::optional<int> DutyChoice::stored() const
{
    if (kind == Clear)
        return std::nullopt;
    return kind == Stop ? 0 : special;
}

QString foldName(const QString& text)
{
    // Compatibility composition folds exactly the two widths (and joins a
    // half-width kana with its voiced mark).
    return text.normalized(QString::NormalizationForm_KC).trimmed();
}

std::optional<QString> nameProblem(const QString& text)
{
    const QString name = text.trimmed();
    if (name.toUcs4().size() > kMaxNameLength)
        return QStringLiteral("名前は%1文字以内で入力してください。").arg(kMaxNameLength);
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph)
            return QStringLiteral("名前に改行や制御文字は使えません。");
    return std::nullopt;
}

QString defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/names.json");
}

Names Names::read(const QString& path)
{
    Names names;
    QByteArray bytes;
    try {
        if (!QFileInfo::exists(path))
            return names;
        const Platform::ReadFile file = Platform::readRegularFile(path, kMaxFileBytes);
        if (file.size > kMaxFileBytes)
            return names;
        bytes = file.bytes;
    } catch (const std::exception&) {
        return names;
    }
    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    const QJsonObject specials = root.value(kNamesKey).toObject();
    for (auto entry = specials.begin(); entry != specials.end(); ++entry) {
        const std::optional<int> special = specialKey(entry.key());
        if (special && entry.value().isString())
            names.setName(*special, entry.value().toString());
    }
    const QJsonObject choices = root.value(kChoicesKey).toObject();
    for (auto entry = choices.begin(); entry != choices.end(); ++entry)
        if (const std::optional<DutyChoice> choice = choiceFrom(entry.value()))
            names.setChoice(entry.key(), *choice);
    return names;
}

std::optional<QString> Names::write(const QString& path) const
{
    QJsonObject specials, choices;
    for (auto entry = m_names.cbegin(); entry != m_names.cend(); ++entry)
        specials.insert(QString::number(entry.key()), entry.value());
    for (auto entry = m_choices.cbegin(); entry != m_choices.cend(); ++entry)
        choices.insert(entry.key(), choiceValue(entry.value()));
    const QByteArray bytes =
        QJsonDocument(QJsonObject{{kNamesKey, specials}, {kChoicesKey, choices}}).toJson(QJsonDocument::Indented);

    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("%1: フォルダを作れません。").arg(QDir::toNativeSeparators(folder));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return std::nullopt;
}

QString Names::name(int special) const
{
    return m_names.value(special);
}

std::optional<QString> Names::setName(int special, const QString& text)
{
    if (!isSpecial(special))
        return QStringLiteral("特殊番号は%1～%2です。").arg(kFirstSpecial).arg(kLastSpecial);
    if (std::optional<QString> problem = nameProblem(text))
        return problem;
    const QString name = text.trimmed();
    if (name.isEmpty())
        m_names.remove(special);
    else
        m_names.insert(special, name);
    return std::nullopt;
}

QString Names::numberText(int special) const
{
    const QString name = m_names.value(special);
    return name.isEmpty() ? QString::number(special) : QString::number(special) + QLatin1Char(' ') + name;
}

std::optional<DutyChoice> Names::choice(const QString& dutyName) const
{
    const auto found = m_choices.constFind(foldName(dutyName));
    if (found == m_choices.cend())
        return std::nullopt;
    return *found;
}

void Names::setChoice(const QString& dutyName, const DutyChoice& choice)
{
    const QString key = foldName(dutyName);
    if (key.isEmpty())
        return;
    if (choice.kind == DutyChoice::Special && !isSpecial(choice.special))
        return;
    m_choices.insert(key, choice);
}

}  // namespace SpecialNames
