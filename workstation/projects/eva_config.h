// The project dialog's view of config.ini: the machine models, the card
// types with their format files and answer keys, and the recording of a key.
//   [main]        machineType = models separated by ";"
//                 cardType    = the card types' section names, separated by ";"
//   [<card type>] name   = display name
//                 path   = format file (relative to the program, "\" or "/")
//                 answer = answer key, one character per position
// Anything that keeps the dialog from working as the file intends is listed
// in problems() in words the user can act on; nothing is changed for it.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "file_locations.h"

struct CardType {
    QString section;  // the section the entry was read from
    QString name;
    QString path;
    QString answer;
};

class EvaConfig {
public:
    // Reads config.ini where `locations` put it: the user's file, else the
    // one shipped with the kit. A missing file gives empty lists.
    static EvaConfig load(const FileLocations& locations);

    const QStringList& machineTypes() const { return machineTypes_; }
    const std::vector<CardType>& cardTypes() const { return cardTypes_; }
    QStringList cardTypeNames() const;
    const QStringList& problems() const { return problems_; }
    // The file the values came from (empty when there was none).
    const QString& source() const { return source_; }

    // The answer key of the card type called `name` (the last entry of that
    // name); empty when there is none.
    QString answerKey(const QString& name) const;

    struct FormatFile {
        QString path;     // absolute; empty when there is a problem
        QString problem;  // why there is no usable format file
    };
    // The format file of the first card type called exactly `name`.
    FormatFile formatFile(const QString& name) const;

    // Stores `key` as the answer key of every card type called `name`, in the
    // section each was read from, and in this table. False with `problem`
    // set when there is no such card type or the file refused the write.
    bool recordAnswerKey(const QString& name, const QString& key, QString* problem = nullptr);

private:
    FileLocations locations_;
    QString source_;
    QStringList machineTypes_;
    std::vector<CardType> cardTypes_;
    QStringList problems_;
};
