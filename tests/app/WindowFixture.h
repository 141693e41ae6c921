// A shown main window with scripted prompts, and the helpers its tests share: the chart's
// items by position, mouse events at canvas coordinates, and the canvas as an image.
#pragma once

#include "../support/MouseInput.h"
#include "../support/ScriptedPrompts.h"
#include "app/Autosave.h"
#include "app/NavBar.h"
#include "app/Unit1.h"
#include "canvas/view/FlowChartView.h"
#include "chart/AppTitle.h"
#include "chart/Chart.h"

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QSettings>
#include <QTest>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using ScriptedPrompts = TScriptedPrompts;

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings().clear(); // every test meets the window of a first run
        window = std::make_unique<TForm1>();
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        window->setPrompts(std::move(scripted));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QApplication::processEvents();
    }
    void TearDown() override {
        EXPECT_TRUE(window->chart().InvariantHolds()) << "the chart's chain lost its shape";
        // The window goes without a close: its autosave must not be offered to the next test
        // as the work of an editor that crashed.
        window->autosave().discard();
    }

    TChart& chart() { return window->chart(); }
    TFlowChart& canvas() { return window->flowChart()->chart(); }
    QWidget* vp() const { return window->flowChart()->viewport(); }

    TFcObject* objectOf(int item) { return static_cast<TPanelItem*>(chart().Item(item))->Object; }
    TNormalSpot& spot(int item) { return *static_cast<TNormalSpot*>(chart().Item(item)); }
    TFcObject* marker(int item) { return spot(item).Marker; }

    QListWidget* group(int number) const {
        return window->palette()->findChild<QListWidget*>(QString("NavBar1Group%1").arg(number));
    }
    // The palette item that creates the block type, found in whichever group holds it.
    QListWidgetItem* paletteItem(int blockType) const {
        for (int g = 1; g <= 4; ++g) {
            QListWidget* list = group(g);
            for (int i = 0; list && i < list->count(); ++i)
                if (list->item(i)->data(Qt::UserRole).toInt() == blockType)
                    return list->item(i);
        }
        return nullptr;
    }
    // A real click on an item of the first (open) group.
    void clickPaletteRow(int row) {
        QListWidget* list = group(1);
        QListWidgetItem* item = list->item(row);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
    }
    // A palette click on the item of that block type.
    void insert(int blockType) {
        QListWidgetItem* item = paletteItem(blockType);
        ASSERT_NE(item, nullptr) << blockType;
        emit item->listWidget()->itemClicked(item);
    }

    QPoint at(int x, int y) const { return window->flowChart()->viewportPoint({x, y}); }
    QPoint centreOf(const TFcObject* o) const {
        return at(o->Left() + o->Width() / 2, o->Top() + o->Height() / 2);
    }
    void press(QPoint p) { testsupport::press(vp(), p); }
    void moveTo(QPoint p) { testsupport::moveTo(vp(), p); }
    void release(QPoint p) { testsupport::release(vp(), p); }
    void click(QPoint p) {
        press(p);
        release(p);
    }
    void doubleClick(QPoint p) { testsupport::doubleClick(vp(), p); }
    QImage grab() {
        QApplication::processEvents();
        return vp()->grab().toImage();
    }

    std::unique_ptr<TForm1> window;
    ScriptedPrompts* prompts = nullptr;
};
