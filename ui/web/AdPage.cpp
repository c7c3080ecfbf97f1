#include "ui/web/AdPage.h"

#include <cstdio>

std::string AdPageText(const AdAddresses& addresses)
{
    const std::string pieces[] = {
        "<html style='height: 410px; width: 780px'>",
        "<head>",
        "<style type='text/css'>",
        ".Clear",
        "{",
        "clear:both;",
        "}",
        "</style>",
        "</head>",
        "<body scroll='no' style='padding-top:5px;padding-left:5px;background-color:#ffffff; margin:0; border=0;'>",
        "<div style='height:100px;width:800px;margin:0;'>",
        "<a href='" + addresses.click[0] + "' target='_blank'><IMG SRC='" + addresses.image[0]
            + "' width='795' height='100' border='0'></a>",
        "</div>",
        "<div style='height: 310px; width: 800px;margin:0;'>",
        "<a href='" + addresses.click[1] + "' target='_blank'><IMG SRC='" + addresses.image[1]
            + "' width='300' height='300' border='0' style='margin-top: 5px;' =></a>",
        "<a href='" + addresses.click[2] + "' target='_blank'>",
        "<img src='images/400x300.jpg' style='width: 400px; height: 300px; margin-top: 5px'>",
        "<a href='" + addresses.click[3] + "' target='_blank'>",
        "<img src='images/100x300.jpg' style='width: 75px; height: 300px; margin-top: 5px'>",
        "</div>",
        "</body>",
        "</html>",
    };
    std::string page;
    for (const std::string& piece : pieces) {
        if (!page.empty())
            page += "\t\t\t\t\t\t\t";
        page += piece;
    }
    return page;
}

bool WriteAdPage(const char* path)
{
    if (path == nullptr)
        return false;
    const std::string page = AdPageText(ConfiguredAdAddresses());
    std::FILE* file = std::fopen(path, "w+b");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(page.data(), 1, page.size(), file) == page.size();
    // A full disk often shows only when the buffer is flushed at closing.
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}
