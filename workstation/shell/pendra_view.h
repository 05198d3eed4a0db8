// The start page: the start picture stretched over the whole view.
#pragma once

#include <QWidget>

class CPendraView : public QWidget {
    Q_OBJECT
public:
    explicit CPendraView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
