#include "ui/widgets/StandardToolBar.h"

#include <QApplication>
#include <QLineEdit>

#include <algorithm>

CZoomComboBox::CZoomComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    for (const char* item : {"25%", "50%", "75%", "100%", "120%", "150%", "200%"})
        addItem(item);
    setCurrentIndex(3);
    lineEdit()->setMaxLength(5);
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int) { emit zoomChosen(Commit()); });
    connect(lineEdit(), &QLineEdit::returnPressed, this, [this] { emit zoomChosen(Commit()); });
}

int CZoomComboBox::ZoomFromText(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    long long value = -1;
    if (i < text.size()) {
        std::size_t digits = i;
        long long n = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
            // Saturate: the bound below makes any long number the maximum.
            n = std::min<long long>(n * 10 + (text[digits] - '0'), 1000000);
            ++digits;
        }
        if (digits == i) {
            value = 100;
        } else {
            std::size_t j = digits;
            while (j < text.size() && text[j] == ' ')
                ++j;
            if (j < text.size() && text[j] == '%')
                ++j;
            while (j < text.size() && text[j] == ' ')
                ++j;
            value = j == text.size() ? n : 100;
        }
    }
    if (value < 6)
        return kMinZoom;
    return int(std::min<long long>(value, kMaxZoom));
}

int CZoomComboBox::Commit()
{
    int zoom = ZoomFromText(currentText().toStdString());
    QString text = QString("%1%").arg(zoom);
    int index = findText(text);
    if (index >= 0)
        setCurrentIndex(index);
    else
        setEditText(text);
    return zoom;
}

void CZoomComboBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    emit zoomChosen(Commit());
}

CStandardToolBar::CStandardToolBar(const QString& title, QWidget* parent) : QToolBar(title, parent)
{
    setObjectName("Standard");
}

void CStandardToolBar::AddZoomBox()
{
    m_zoom = new CZoomComboBox(this);
    m_zoom->setObjectName("ZoomBox");
    m_zoom->setMinimumContentsLength(5);
    addWidget(m_zoom);
    connect(m_zoom, &CZoomComboBox::zoomChosen, this, [this](int percent) {
        if (CZoomView* view = GetActiveView())
            view->SetZoom(percent);
    });
}

void CStandardToolBar::UpdateZoom()
{
    if (!m_zoom)
        return;
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == m_zoom || m_zoom->isAncestorOf(focus)))
        return;
    CZoomView* view = GetActiveView();
    m_zoom->setEnabled(view != nullptr);
    if (!view)
        return;
    int zoom = view->GetZoom();
    if (zoom >= CZoomComboBox::kMinZoom && zoom <= CZoomComboBox::kMaxZoom) {
        QString text = QString("%1%").arg(zoom);
        int index = m_zoom->findText(text);
        if (index >= 0)
            m_zoom->setCurrentIndex(index);
        else
            m_zoom->setEditText(text);
    }
}
