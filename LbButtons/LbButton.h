// The flat push button: paints itself in one of six styles, shows a glyph cell chosen by its state,
// lights up under the pointer (optionally fading back through its thread) and behaves as a dialog
// button: Enter and Escape, an "&" accelerator, a modal result and a drop-down menu.
#pragma once

#include "Canvas.h"
#include "Colors.h"
#include "ControlProperty.h"
#include "ControlTypes.h"
#include "Form.h"
#include "LbButtons.h"

#include <QAction>
#include <QFont>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class TLbButtonThread;

class TLbButton : public QWidget, public TDialogKeyTarget {
    Q_OBJECT
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TLbColorStyle ColorStyle READ ColorStyle WRITE SetColorStyle)
    Q_PROPERTY(TColor ColorWhenDown READ ColorWhenDown WRITE SetColorWhenDown)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(QImage Glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(TColor HotTrackColor READ HotTrackColor WRITE SetHotTrackColor)
    Q_PROPERTY(QFont HotTrackFont READ HotTrackFont WRITE SetHotTrackFont)
    Q_PROPERTY(TLbButtonKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(TLbButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(TColor LightColor READ LightColor WRITE SetLightColor)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(TColor ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(bool SlowDecease READ SlowDecease WRITE SetSlowDecease)
    Q_PROPERTY(TLbButtonStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool UseHotTrackFont READ UseHotTrackFont WRITE SetUseHotTrackFont)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(QMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(QAction* Action READ Action WRITE SetAction)

public:
    explicit TLbButton(QWidget* Parent = nullptr);
    ~TLbButton() override;

    QSize sizeHint() const override { return QSize(100, 23); }

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { SetAndRepaint(*this, FAlignment, Value); }
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { SetAndRepaint(*this, FColor, Value); }
    // Always lcsCustom: a preset only sets the other properties.
    TLbColorStyle ColorStyle() const { return lcsCustom; }
    void SetColorStyle(TLbColorStyle Value);
    TColor ColorWhenDown() const { return FColorWhenDown; }
    void SetColorWhenDown(TColor Value) { SetAndRepaint(*this, FColorWhenDown, Value); }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value) { FDefault = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value) { SetAndRepaint(*this, FFlat, Value); }
    QImage Glyph() const { return FGlyph; }
    // A null image clears the glyph.
    void SetGlyph(const QImage& Value);
    TColor HotTrackColor() const { return FHotTrackColor; }
    void SetHotTrackColor(TColor Value) { SetAndRepaint(*this, FHotTrackColor, Value); }
    QFont HotTrackFont() const { return FHotTrackFont; }
    void SetHotTrackFont(const QFont& Value) { FHotTrackFont = Value; }
    TLbButtonKind Kind() const { return FKind; }
    void SetKind(TLbButtonKind Value);
    TLbButtonLayout Layout() const { return FLayout; }
    void SetLayout(TLbButtonLayout Value) { SetAndRepaint(*this, FLayout, Value); }
    TColor LightColor() const { return FLightColor; }
    void SetLightColor(TColor Value) { SetAndRepaint(*this, FLightColor, Value); }
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value) { SetAndRepaint(*this, FNumGlyphs, Value); }
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value) { SetAndRepaint(*this, FShadowColor, Value); }
    bool SlowDecease() const { return FSlowDecease; }
    void SetSlowDecease(bool Value);
    TLbButtonStyle Style() const { return FStyle; }
    void SetStyle(TLbButtonStyle Value) { SetAndRepaint(*this, FStyle, Value); }
    bool UseHotTrackFont() const { return FUseHotTrackFont; }
    void SetUseHotTrackFont(bool Value) { SetAndRepaint(*this, FUseHotTrackFont, Value); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { SetAndRepaint(*this, FWordWrap, Value); }
    QMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu* Value) { SetAndRepaint(*this, FPopupMenu, Value); }
    QAction* Action() const { return FAction; }
    void SetAction(QAction* Value);

    // The caption colour (the palette's text colour).
    void SetFontColor(TColor Value);

    // Clicks the button as a mouse click would: OnClick, the modal result, the menu, the action.
    void Click();
    bool DialogKey(const QKeyEvent& Key) override;

signals:
    void OnClick(QObject* Sender);
    void OnMouseEnter(QObject* Sender);
    void OnMouseExit(QObject* Sender);

protected:
    bool event(QEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    bool Hot() const { return FMouseOver || hasFocus(); }
    bool ParentShowing() const { return parentWidget() && parentWidget()->isVisible(); }
    void DoClick();
    void FadeStep();
    void StartFadeThread();
    void StopFadeThread();
    void ActionChanged();

    // Painting (LbButtonPaint.cpp).
    void DrawButtonFace(TCanvas& Canvas, int W, int H, const QFont& Font, TColor Light) const;
    void DrawBorder(TCanvas& Canvas, int W, int H, TColor Face, TColor Light, bool Down) const;
    void DrawGlyphCell(TCanvas& Canvas, const TRect& Where, int Cell) const;
    TColor BlendHotColor() const;

    TAlignment FAlignment = taCenter;
    bool FCancel = false;
    QString FCaption;
    TColor FColor = clBtnFace;
    TColor FColorWhenDown = clNone;
    bool FDefault = false;
    bool FFlat = false;
    QImage FGlyph;
    TColor FHotTrackColor = clNone;
    QFont FHotTrackFont;
    TLbButtonKind FKind = bkCustom;
    TLbButtonLayout FLayout = blGlyphLeft;
    TColor FLightColor = clWhite;
    int FModalResult = 0;
    int FNumGlyphs = 0;
    TColor FShadowColor = clGray;
    bool FSlowDecease = false;
    TLbButtonStyle FStyle = bsNormal;
    bool FUseHotTrackFont = false;
    bool FWordWrap = false;
    QPointer<QMenu> FPopupMenu;
    QPointer<QAction> FAction;

    bool FDown = false;
    bool FKeyDown = false; // FDown came from this button's own Enter or Space press
    bool FMouseOver = false;
    int FFadeLevel = 0;
    int FShortcutId = 0;
    std::unique_ptr<TLbButtonThread> FFadeThread;
};
