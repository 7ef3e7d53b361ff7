#include "support/viewer_fixture.h"
#include "ui/app/help.h"
#include "ui/app/main_form.h"
#include "ui/app/tools.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QTest>
#include <QToolButton>

using MainWindow = ViewerFixture;

TEST_F(MainWindow, CaptionStatusStripAndStartUpState)
{
    EXPECT_EQ(form->windowTitle().toStdString(), "Brixel 0.54");
    EXPECT_EQ(form->centralWidget(), form->MdiArea());
    EXPECT_EQ(form->LbInfo->text().toStdString(), "Brixel 0.54 - rocking your ROM till the break of dawn");
    EXPECT_EQ(form->LbCoor->width(), 105);
    EXPECT_EQ(state.BrowserColumns, 8);
    EXPECT_EQ(state.BrowserLines, 16);
    EXPECT_EQ(state.BrowserZoom, 3);
    EXPECT_FALSE(state.FileOpen());
}

TEST_F(MainWindow, MenusHoldEveryItemInOrder)
{
    auto names = [](QMenu* menu) {
        std::vector<std::string> list;
        for (QAction* action : menu->actions())
            list.push_back(action->objectName().toStdString() +
                           (action->isSeparator() ? "" : "=" + action->text().toStdString()));
        return list;
    };
    using List = std::vector<std::string>;
    EXPECT_EQ(form->IBrowser->title().toStdString(), "Browser");
    EXPECT_EQ(names(form->IBrowser), (List{"IOpen=Open file", "IClose=Close file", "IExit=Exit", "IBreak6",
                                           "IZoomIn=Zoom in", "IZoomOut=Zoom out", "IGrid=Grid on/off"}));
    EXPECT_EQ(names(form->IEditor),
              (List{"ISelMode=Activate 'Select' Mode", "IPaiMode=Activate 'Paint' Mode",
                    "IFilMode=Activate 'Fill' Mode", "IBreak2", "ISaveAll=Save all", "IReloadAll=Reload all",
                    "IClearAll=Clear all", "IBreak1", "IEZoomIn=Zoom in", "IEZoomOut=Zoom out", "IResize=Resize",
                    "IEGrid=Grid on/off", "INonCopied=Show/hide noncopied tiles"}));
    EXPECT_EQ(names(form->ITile),
              (List{"ITSave=Save tile", "ITSaveSel=Save tile to selection", "ITSaveAdd=Save tile to address", "IBreak3",
                    "ITReload=Reload tile", "ITClear=Clear tile", "IBreak4", "ITMirrow=Mirrow tile", "ITFlip=Flip tile",
                    "ITRotate=Rotate tile", "IBreak9", "ITFind=Find graphics...",
                    "ITFindStreams=Find compressed data...", "ITBackToFile=Back to the file"}));
    EXPECT_EQ(names(form->IIhelp), (List{"IOption=Options", "IBreak5", "IHelp=Info", "IManual=User's manual"}));
}

TEST_F(MainWindow, MenuItemsRunTheirButtons)
{
    form->MenuItem("IZoomIn")->trigger();
    EXPECT_EQ(state.BrowserZoom, 4);
    form->MenuItem("IZoomOut")->trigger();
    EXPECT_EQ(state.BrowserZoom, 3);
    const std::string path = dir.WriteFile("menu.gb", CountingBytes(128));
    dialogs.QueueFile({path, 1});
    form->MenuItem("IOpen")->trigger();
    EXPECT_TRUE(state.FileOpen());
    dialogs.QueueYesNo(true);
    form->MenuItem("IClose")->trigger();
    EXPECT_FALSE(state.FileOpen());
}

TEST_F(MainWindow, AboutWindowShowsItsPictureAndHidesOnClickOrFocusLoss)
{
    Help* about = w->Help;
    ASSERT_NE(about->Picture->pixmap().isNull(), true);
    EXPECT_EQ(about->Picture->pixmap().size(), QSize(400, 80));
    form->MenuItem("IHelp")->trigger();
    EXPECT_TRUE(about->isVisible());
    QTest::mouseClick(about->Picture, Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());

    w->Tools->Bthelp->click();
    EXPECT_TRUE(about->isVisible());
    about->Form_Deactivate();
    EXPECT_FALSE(about->isVisible());
}
