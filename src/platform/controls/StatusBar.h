#pragma once
// The status bar along the bottom of its window, with panels numbered from 1.
//     StatusBar1.Panels().Clear();
//     StatusBar1.Panels().Add().setWidth(3500);
//     StatusBar1.Panels(1).setText(...);
#include <memory>
#include <vector>
#include <QString>
#include <QWidget>
#include "controls/Control.h"

class QLabel;

namespace controls {

class StatusBar;

class Panel {
public:
    QString Text() const;
    void setText(const QString& text);
    int Width() const { return width_; }   // twips
    void setWidth(int twips);
    QLabel* label() const { return label_; }

private:
    friend class StatusBar;
    friend class Panels;
    explicit Panel(QLabel* label);
    QLabel* label_;
    int width_ = 1440;
};

class Panels {
public:
    void Clear();
    // Appends a panel (with an optional text) and returns it.
    Panel& Add(const QString& text = QString());
    int Count() const;
    // 1-based; raises 35600 outside 1..Count.
    Panel& operator()(int index) const;
    Panel& Item(int index) const { return (*this)(index); }

private:
    friend class StatusBar;
    explicit Panels(StatusBar* bar) : bar_(bar) {}
    StatusBar* bar_;
};

class StatusBar : public QWidget, public Control {
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent = nullptr);
    ~StatusBar() override;

    controls::Panels Panels() { return controls::Panels(this); }
    Panel& Panels(int index) { return controls::Panels(this)(index); }

    // 0 panels shown, 1 the simple text across the whole bar.
    int Style() const { return style_; }
    void setStyle(int style);
    QString SimpleText() const;
    void setSimpleText(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class controls::Panels;
    friend class controls::Panel;
    void dock();
    // Panels stand left to right at their own widths; one that runs past the
    // bar's right edge is cut there, never drawn over its neighbour.
    void placePanels();
    std::vector<std::unique_ptr<Panel>> panels_;
    QLabel* simple_;
    int style_ = 0;
};

} // namespace controls
