#pragma once
#include <QMap>
#include <QString>

#include <optional>

// The names the user gives special numbers (「1 短縮」) and what each 日課
// name of a school's 行事予定 was last set to, so that next year's table
// maps itself. They live in the editor's own per-user file beside the store,
// never in the program file; a missing or damaged file is read as what can
// be read from it and never stops anything.
namespace SpecialNames {

constexpr int kMaxNameLength = 16;  // characters, after trimming
constexpr int kFirstSpecial = 1;
constexpr int kLastSpecial = 99;

// What the days of one 日課 become: their dated entry cleared (設定なし),
// 停止, or a special number.
struct DutyChoice {
    enum Kind { Clear, Stop, Special };
    Kind kind = Clear;
    int special = 0;  // Special: 1..99

    static DutyChoice clear() { return {Clear, 0}; }
    static DutyChoice stop() { return {Stop, 0}; }
    static DutyChoice runSpecial(int special) { return {Special, special}; }
    // The special number a day gets stored with (停止 0); Clear has none.
    std::optional<int> stored() const;
    bool operator==(const DutyChoice& other) const { return kind == other.kind && special == other.special; }
    bool operator!=(const DutyChoice& other) const { return !(*this == other); }
};

// What 日課 names are compared by: full-width letters, digits and blanks
// made half-width, half-width kana full-width, ends trimmed.
QString foldName(const QString& text);

// Why `text` cannot name a special number (trimmed longer than
// kMaxNameLength, a line break or another control character); nullopt when
// it can (empty too: no name).
std::optional<QString> nameProblem(const QString& text);

// names.json in the editor's data folder.
QString defaultPath();

class Names
{
public:
    // What `path` holds that is valid; nothing when it is missing,
    // unreadable or no names file at all.
    static Names read(const QString& path);
    // Replaces the file at `path` in one piece (its folder made when
    // missing). Returns why it could not, in Japanese; nullopt when written.
    std::optional<QString> write(const QString& path) const;

    // The special number's name, empty when it has none.
    QString name(int special) const;
    // Sets the trimmed `text` (empty removes the name). Returns the refusal,
    // leaving the name as it was; nullopt when set.
    std::optional<QString> setName(int special, const QString& text);
    // "1 短縮", or "1" without a name: how lists offer the number.
    QString numberText(int special) const;
    const QMap<int, QString>& names() const { return m_names; }

    std::optional<DutyChoice> choice(const QString& dutyName) const;
    void setChoice(const QString& dutyName, const DutyChoice& choice);
    // By folded 日課 name.
    const QMap<QString, DutyChoice>& choices() const { return m_choices; }

private:
    QMap<int, QString> m_names;
    QMap<QString, DutyChoice> m_choices;
};

// The names the editor keeps while it runs and the file they are kept in.
// Start-up makes the one the editor uses and openers hand it to the windows
// that show or set names.
struct NamesFile {
    QString path;
    Names names;
    static NamesFile read(const QString& path) { return {path, Names::read(path)}; }
};

}  // namespace SpecialNames
