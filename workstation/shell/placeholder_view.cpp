#include "placeholder_view.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {
const char* const kNotInBuild = "此功能不包含在当前版本中。";
}

CPlaceholderView::CPlaceholderView(const QString& title, QWidget* parent) : QWidget(parent) {
    setObjectName("placeholder");
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(title, this);
    heading->setObjectName("title");
    QFont f = heading->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    heading->setFont(f);
    heading->setAlignment(Qt::AlignCenter);
    auto* note = new QLabel(QString::fromUtf8(kNotInBuild), this);
    note->setAlignment(Qt::AlignCenter);
    layout->addStretch();
    layout->addWidget(heading);
    layout->addWidget(note);
    layout->addStretch();
}

CPlaceholderDialog::CPlaceholderDialog(const QString& caption, int command, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QString::number(command));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(kNotInBuild), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
