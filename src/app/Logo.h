#pragma once
// The splash window shown for two seconds while the program starts.

#include <QWidget>

class QLabel;

namespace orvix {

class TLogoForm : public QWidget {
    Q_OBJECT
public:
    explicit TLogoForm(const QString& programDir, QWidget* parent = nullptr);
    // Centres, shows and paints the splash, keeps it up for ms milliseconds, then hides it.
    void showFor(int ms);

    QLabel* Image1 = nullptr;
    QLabel* VersionInfo_Lab = nullptr;
};

} // namespace orvix
