#pragma once

#include <QDialog>
#include <QPixmap>

// The base of the program's modal dialogs, built from a dialog template: an optional background
// picture on the dark colour with white static texts, OK and Cancel placed along the bottom, and
// for resizable dialogs a size kept between runs.
class CQuorvixDialog : public QDialog {
public:
    // templateId is the language-mapped template number, also the key of the kept size.
    CQuorvixDialog(int templateId, QWidget* parent, const QPixmap& background = QPixmap());
    ~CQuorvixDialog() override;

    int TemplateId() const { return m_templateId; }
    bool IsResizable() const { return m_resizable; }
    bool HasBackgroundBrush() const { return m_hasBrush; }

    // Places OK (1) and Cancel (2) along the bottom; the bottom margin, or -1 without them.
    virtual int ArrangeButtons(int width, int height, int& buttonHeight);
    // Lays the controls out for a client area of this size; the base does nothing.
    virtual void ArrangeControls(int cx, int cy);
    virtual QString GetSizeSection() const;
    virtual void CreateBackgroundBrush();
    virtual QPoint GetContentOffset() const;
    virtual void FitToBackground();
    virtual bool DrawBackground(QPainter& painter);

    // Restores the kept size of a resizable dialog (defaultSize "WxH" when none is kept).
    void RestoreSize(const QString& defaultSize);
    void SaveSize();

protected:
    // Runs once, just before the dialog first shows: subclasses fill their controls here.
    virtual void InitDialog();
    // OK (button 1): the base closes with OK; Cancel (button 2) always closes with Cancel.
    virtual void OnOK();
    // The dark background with white static and check box texts, with or without a picture.
    void UseBackgroundBrush();

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_templateId;
    bool m_resizable = false;
    bool m_hasBrush = false;
    bool m_initialised = false;
    QPixmap m_background;
};
