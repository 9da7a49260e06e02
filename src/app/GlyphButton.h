#pragma once
// A main button: an 80 x 60 picture that reacts to hover and press. Its hint is its tooltip;
// a caption, when the language gives one, is drawn under the picture.

#include <QAbstractButton>
#include <QPixmap>

namespace orvix {

class GlyphButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit GlyphButton(QWidget* parent = nullptr);
    void setGlyph(const QPixmap& glyph);
    QPixmap glyph() const { return m_glyph; }
    // The file the glyph was loaded from (tests and state checks read it).
    QString glyphFile() const { return m_glyphFile; }
    void setGlyphFile(const QString& f) { m_glyphFile = f; }
    QSize sizeHint() const override { return {80, 60}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    QPixmap m_glyph;
    QString m_glyphFile;
    bool m_hover = false;
};

} // namespace orvix
