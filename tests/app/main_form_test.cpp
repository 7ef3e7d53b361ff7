#include "app/main_form.h"
#include "core/program_state.h"

#include <QMdiArea>
#include <gtest/gtest.h>

TEST(MainForm, CaptionAndChildWindowArea)
{
    ProgramState state;
    InitState(state);
    MainForm form(state);
    form.show();
    EXPECT_EQ(form.windowTitle().toStdString(), "Brixel 0.54");
    ASSERT_NE(form.MdiArea(), nullptr);
    EXPECT_EQ(form.centralWidget(), form.MdiArea());
    EXPECT_TRUE(form.isVisible());
}
