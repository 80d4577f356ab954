// A temporary folder with a generated disc image whose CUE and TOC files are the component's drives.
#pragma once

#include "DiscImage.h"
#include "cdda/CDDA.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

class CddaFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // Odd lengths: whole seconds plus a few frames, one track below two seconds.
        image = WriteDiscImage(dir.path().toStdString(), "disc", {75 * 4 + 17, 151, 75 * 3 + 74, 75 * 2 + 1});
        Reinit({image.strCue, image.strToc});
    }
    void TearDown() override {
        DeinitDriver();
        SetDiscImages(nullptr);
    }
    void Reinit(const std::vector<std::string> &paths) {
        std::string list;
        for (const std::string &p : paths)
            list += p + ";";
        SetDiscImages(list.c_str());
        InitDriver(0);
    }

    QTemporaryDir dir;
    DiscImage image;
};
