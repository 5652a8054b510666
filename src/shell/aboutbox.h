#pragma once

#include <QDialog>

namespace shell {

// The about box: product name, version of this build, the maker's lines.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

    // "Version 1.0.0" for this build.
    static QString versionText();
    // The six lines naming the maker.
    static QString disclaimerText();

private:
    void startSystemInfo();
};

}  // namespace shell
