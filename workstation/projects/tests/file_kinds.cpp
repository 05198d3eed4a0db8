#include "file_kinds.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <memory>

#include "eva_config.h"
#include "eva_file.h"
#include "grid_ctrl.h"
#include "ini_file.h"
#include "project_csv.h"
#include "saved_files.h"
#include "test_records.h"

namespace crashsafe {
namespace {

bool putFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A few hundred projects, so that a save takes several writes.
const std::vector<ProjectRecord>& projects(int version) {
    static const std::vector<ProjectRecord> v0 = testrecords::many(300, 60), v1 = testrecords::many(420, 30);
    return version ? v1 : v0;
}

FileKind evaDat() {
    return {QStringLiteral("eva.dat"), QStringLiteral("eva.dat"), {}, [](const QString& folder, int version) {
                return evafile::save(QDir(folder).filePath(QStringLiteral("eva.dat")), projects(version));
            }};
}

// init.ini as the calibration and motor dialogs leave it, with a long tail of
// sections the kit does not know (which a save must keep).
FileKind initIni() {
    auto prepare = [](const QString& folder) {
        QByteArray text = "[makesign]\r\ngray=10\r\nsync=73\r\n\r\n[setparma]\r\nMotoRange=3\r\nForeTime=-2\r\n"
                          "BehindTime=4\r\n";
        for (int i = 0; i < 400; ++i) text += "\r\n[station" + QByteArray::number(i) + "]\r\nnote=line " +
                                              QByteArray::number(i) + " of the factory's own settings\r\n";
        return putFile(QDir(folder).filePath(QStringLiteral("init.ini")), text);
    };
    auto save = [](const QString& folder, int version) {
        CIni ini(QDir(folder).filePath(QStringLiteral("init.ini")));
        return ini.writeInt(QStringLiteral("makesign"), QStringLiteral("gray"), version ? 12 : 3);
    };
    return {QStringLiteral("init.ini"), QStringLiteral("init.ini"), prepare, save};
}

FileLocations besideProgram(const QString& folder) {
    FileLocations l;
    l.programFolder = l.configHome = l.workingFolder = folder;
    l.shippedFolder = QDir(folder).filePath(QStringLiteral("share"));
    return l;
}

// config.ini with a few dozen card types; the project dialog records an
// answer key.
FileKind configIni() {
    auto prepare = [](const QString& folder) {
        QByteArray types, sections;
        for (int i = 0; i < 30; ++i) {
            const QByteArray name = "卡" + QByteArray::number(i);
            types += (i ? ";" : "") + name;
            sections += "\n[" + name + "]\nname=" + name + "\npath=formats\\card_" + QByteArray::number(i) +
                        ".fmt\nanswer=" + QByteArray(40 + i % 20, 'A' + i % 4) + "\n";
        }
        return putFile(QDir(folder).filePath(QStringLiteral("config.ini")),
                       "[main]\nmachineType=R6KTM;R6KTS\ncardType=" + types + "\n" + sections);
    };
    auto save = [](const QString& folder, int version) {
        EvaConfig config = EvaConfig::load(besideProgram(folder));
        return config.recordAnswerKey(QStringLiteral("卡0"), version ? QString(60, u'D') : QStringLiteral("ABCD"));
    };
    return {QStringLiteral("config.ini"), QStringLiteral("config.ini"), prepare, save};
}

FileKind projectsCsv() {
    return {QStringLiteral("CSV export"), QStringLiteral("projects.csv"), {}, [](const QString& folder, int version) {
                return projectcsv::write(QDir(folder).filePath(QStringLiteral("projects.csv")), projects(version));
            }};
}

// The workstation's own settings (recent files, the look, the last save
// folder) go through QSettings, whose file on Linux is this INI file.
FileKind workstationSettings() {
    return {QStringLiteral("settings"), QStringLiteral("Kestrin.conf"), {}, [](const QString& folder, int version) {
                QSettings settings(QDir(folder).filePath(QStringLiteral("Kestrin.conf")), QSettings::IniFormat);
                for (int i = 0; i < 50; ++i)
                    settings.setValue(QStringLiteral("recent/file%1").arg(i),
                                      QStringLiteral("/home/factory/formats/card_%1_v%2.fmt").arg(i).arg(version));
                settings.sync();
                return settings.status() == QSettings::NoError;
            }};
}

// What a form saves goes through savedfiles::write. Both versions' bytes
// are made once, before any writer starts (the table and the picture need
// widgets and a painter, which a killed child should not be busy with).
FileKind formFile(const QString& name, const QString& fileName, std::function<QByteArray(int version)> make) {
    auto versions = std::make_shared<QByteArray[]>(2);
    auto prepare = [versions, make](const QString&) {
        versions[0] = make(0);
        versions[1] = make(1);
        return !versions[0].isEmpty() && !versions[1].isEmpty();
    };
    auto save = [versions, fileName](const QString& folder, int version) {
        return savedfiles::write(QDir(folder).filePath(fileName), versions[version]);
    };
    return {name, fileName, prepare, save};
}

// A test form's table: 48 heads by 200 lines of values.
QByteArray tableCsv(int version) {
    CGridCtrl grid;
    grid.setRowCount(201);
    grid.setColumnCount(49);
    for (int c = 1; c < 49; ++c) grid.setItemText(0, c, QStringLiteral("头%1").arg(c));
    for (int r = 1; r < 201; ++r) {
        grid.setItemText(r, 0, QString::number(r));
        for (int c = 1; c < 49; ++c)
            grid.setItemText(r, c, QStringLiteral("%1").arg((r * 7 + c * 13 + version * 5) % 256, 2, 16, QChar(u'0')));
    }
    return savedfiles::gridCsv(grid);
}

// A plot window's picture, as a form (and kestrin --screenshot) saves it.
QByteArray plotPng(int version) {
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    for (int x = 0; x < 800; x += 2)
        painter.drawLine(x, 300, x + 2, 300 + ((x * (3 + version)) % 250) - 125);
    painter.end();
    return savedfiles::pictureBytes(picture);
}

// A format file: the read-card test saves the user's edit before loading it.
QByteArray formatFile(int version) {
    QByteArray text = "; format of the card under test\r\n\"L 0 073 048/\"\r\n";
    for (int i = 0; i < 60; ++i)
        text += "\"Q 01 " + QByteArray::number(1 + version + i % 9).rightJustified(3, '0') + " 011 014 1/\"\r\n";
    return text;
}

}  // namespace

std::vector<FileKind> kitFileKinds() {
    return {evaDat(),
            initIni(),
            configIni(),
            projectsCsv(),
            workstationSettings(),
            formFile(QStringLiteral("form table CSV"), QStringLiteral("values.csv"), tableCsv),
            formFile(QStringLiteral("plot PNG"), QStringLiteral("profile.png"), plotPng),
            formFile(QStringLiteral("format file"), QStringLiteral("card.fmt"), formatFile)};
}

FileKind truncatingWriter() {
    return {QStringLiteral("truncate+write"), QStringLiteral("plain.dat"), {}, [](const QString& folder, int version) {
                return putFile(QDir(folder).filePath(QStringLiteral("plain.dat")), evafile::encode(projects(version)));
            }};
}

}  // namespace crashsafe
