#pragma once

#include <QPixmap>
#include <QWidget>

namespace cellsonify {

// A picture used as a button: white inside a flat 1-pixel border, the picture
// centred, and a left click (press and release over it) emits clicked().
class ImageButton : public QWidget {
    Q_OBJECT
public:
    explicit ImageButton(QWidget* parent = nullptr);
    // Replaces the picture.
    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
    bool armed_ = false;
};

}  // namespace cellsonify
