#include "gui/mainwindow/CommandPage.h"

#include "gui/mainwindow/MainCommands.h"
#include "gui/widgets/DateBox.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tl {

CommandPage::CommandPage(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    m_row = new QHBoxLayout;
    m_row->setSpacing(6);
    m_row->addStretch(1);
    layout->addLayout(m_row);
    m_gridArea = new QWidget(this);
    m_gridArea->setObjectName(QStringLiteral("gridArea"));
    m_gridArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* area = new QVBoxLayout(m_gridArea);
    area->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_gridArea, 1);
}

QPushButton* CommandPage::addCommand(const Command& command) {
    auto* button = new QPushButton(command.caption, this);
    button->setObjectName(commandObjectName(command.id));
    button->setProperty("right", commandRight(command.id));
    button->setAutoDefault(false);
    // A long caption ("查看库存数量") keeps some room on both sides instead of
    // touching the button's edges.
    button->setMinimumWidth(std::max(80, button->sizeHint().width() + 10));
    addWidget(button);
    return button;
}

QLineEdit* CommandPage::addKeywordBox(int index) {
    auto* label = new QLabel(QStringLiteral("关键词："), this);
    auto* box = new QLineEdit(this);
    box->setObjectName(QStringLiteral("TXT_%1").arg(index));
    box->setClearButtonEnabled(true);
    box->setPlaceholderText(QStringLiteral("回车查找下一条"));
    box->setMinimumWidth(200);
    box->setMaximumWidth(320);
    label->setBuddy(box);
    m_row->addWidget(label);
    m_row->addWidget(box);
    return box;
}

void CommandPage::addPeriod(int first) {
    for (int i = first; i <= first + 1; ++i) {
        auto* picker = new DateBox(this);
        picker->setObjectName(QStringLiteral("DTP3_%1").arg(i));
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        picker->setMinimumWidth(110);
        addLabelled(i == first ? QStringLiteral("从") : QStringLiteral("至"), picker);
    }
    addSpacing();
}

void CommandPage::addWidget(QWidget* widget) {
    m_row->insertWidget(m_insertAt++, widget);
}

void CommandPage::addLabelled(const QString& text, QWidget* widget) {
    auto* label = new QLabel(text, this);
    label->setBuddy(widget);
    addWidget(label);
    addWidget(widget);
}

void CommandPage::addSpacing() {
    m_row->insertSpacing(m_insertAt++, 12);
}

} // namespace tl
