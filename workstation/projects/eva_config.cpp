#include "eva_config.h"

#include <QFileInfo>

#include "answer_evaluation.h"
#include "ini_file.h"

namespace {

const QString kMain = QStringLiteral("main");

CIni configIni(const FileLocations& l) {
    return CIni(l.configIni(), l.shippedConfigIni());
}

}  // namespace

EvaConfig EvaConfig::load(const FileLocations& locations) {
    EvaConfig c;
    c.locations_ = locations;
    const CIni ini = configIni(locations);
    c.source_ = ini.sourcePath();
    if (c.source_.isEmpty()) {
        c.problems_
            << QStringLiteral(
                   "没有找到 config.ini（“%1”，随套件提供的“%2”也没有），机器类型和信息卡类型列表为空。")
                   .arg(locations.configIni(), locations.shippedConfigIni());
        return c;
    }
    const QStringList sections = ini.sectionNames();
    if (sections.isEmpty()) {
        c.problems_ << QStringLiteral(
                           "“%1”中没有任何节：机器类型和信息卡类型应写在 [main] 节的 machineType 和 "
                           "cardType 中，每种信息卡一节（name、path、answer）。列表为空。")
                           .arg(c.source_);
        return c;
    }
    auto hasSection = [&sections](const QString& name) {
        return sections.contains(name.trimmed(), Qt::CaseInsensitive);
    };
    if (!hasSection(kMain)) {
        c.problems_ << QStringLiteral("“%1”中没有 [main] 节，机器类型和信息卡类型列表为空。").arg(c.source_);
        return c;
    }
    c.machineTypes_ = ini.readList(kMain, QStringLiteral("machineType"));
    for (const QString& section : ini.readList(kMain, QStringLiteral("cardType"))) {
        CardType t{section, ini.readString(section, QStringLiteral("name")),
                   ini.readString(section, QStringLiteral("path")),
                   ini.readString(section, QStringLiteral("answer"))};
        c.cardTypes_.push_back(t);
        if (!hasSection(section)) {
            c.problems_ << QStringLiteral("信息卡类型“%1”在“%2”中没有 [%1] 节。").arg(section, c.source_);
            continue;
        }
        if (t.name.isEmpty()) {
            c.problems_ << QStringLiteral("[%1] 节没有 name，这种信息卡在列表中没有名字。").arg(section);
            continue;
        }
        const FormatFile f = c.formatFile(t.name);
        if (!f.problem.isEmpty()) c.problems_ << f.problem;
        if (t.answer.size() > evaluation::kMaxCardText)
            c.problems_ << QStringLiteral(
                               "信息卡类型“%1”的答案有 %2 个字符，超过一张卡最多能读出的 %3 个字符。")
                               .arg(t.name)
                               .arg(t.answer.size())
                               .arg(evaluation::kMaxCardText);
    }
    return c;
}

QStringList EvaConfig::cardTypeNames() const {
    QStringList names;
    for (const CardType& t : cardTypes_) names << t.name;
    return names;
}

QString EvaConfig::answerKey(const QString& name) const {
    QString key;
    for (const CardType& t : cardTypes_)
        if (t.name == name) key = t.answer;
    return key;
}

EvaConfig::FormatFile EvaConfig::formatFile(const QString& name) const {
    for (const CardType& t : cardTypes_) {
        if (t.name != name) continue;
        if (t.path.trimmed().isEmpty())
            return {{},
                    QStringLiteral("信息卡类型“%1”没有格式文件（config.ini 的 [%2] 节缺少 path）。")
                        .arg(name, t.section)};
        const QString path = locations_.resolveConfigPath(t.path, QFileInfo(source_).absolutePath());
        if (!QFileInfo(path).isFile())
            return {
                {},
                QStringLiteral("信息卡类型“%1”的格式文件“%2”不存在（找过“%3”）。").arg(name, t.path, path)};
        return {path, {}};
    }
    return {{}, QStringLiteral("config.ini 中没有信息卡类型“%1”。").arg(name)};
}

bool EvaConfig::recordAnswerKey(const QString& name, const QString& key, QString* problem) {
    CIni ini = configIni(locations_);
    bool found = false;
    for (CardType& t : cardTypes_) {
        if (t.name != name) continue;
        found = true;
        if (!ini.writeString(t.section, QStringLiteral("answer"), key)) {
            if (problem) *problem = QStringLiteral("答案没有录入：%1。").arg(ini.lastError());
            return false;
        }
        t.answer = key;
    }
    if (!found && problem)
        *problem = QStringLiteral("config.ini 中没有信息卡类型“%1”，答案没有录入。").arg(name);
    if (found) source_ = ini.path();
    return found;
}
