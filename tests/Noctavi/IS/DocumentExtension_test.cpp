#include <Noctavi/IS/DocumentExtension.h>

#include <gtest/gtest.h>

namespace {

TEST(DocumentExtension, APathKeepsItsExtensionOrItsOtherSpellingElseGainsTheWantedOne)
{
    struct Case {
        const wchar_t* path;
        HTTP::Net::ContentKind kind;
        const wchar_t* result;
    };
    const Case cases[] = {
        {L"/t/scan", HTTP::Net::Tiff, L"/t/scan.tif"},
        {L"/t/scan.TIF", HTTP::Net::Tiff, L"/t/scan.TIF"},
        {L"/t/scan.tiff", HTTP::Net::Tiff, L"/t/scan.tiff"},
        {L"/t/photo.jpg", HTTP::Net::Jpeg, L"/t/photo.jpg"},
        {L"/t/photo.Jpeg", HTTP::Net::Jpeg, L"/t/photo.Jpeg"},
        {L"/t/photo.jpe", HTTP::Net::Jpeg, L"/t/photo.jpe.jpeg"},
        {L"/t/photo.tiff", HTTP::Net::Jpeg, L"/t/photo.tiff.jpeg"},
        {L"/t/reply.xml", HTTP::Net::Xml, L"/t/reply.xml"},
        {L"/t/v2.0/report", HTTP::Net::Pdf, L"/t/v2.0/report.pdf"},
        {L"/t/report.", HTTP::Net::Pdf, L"/t/report..pdf"},
        {L"/t/notes.txt", HTTP::Net::Other, L"/t/notes.txt"},
        {L"/t/notes", HTTP::Net::Other, L"/t/notes"},
    };
    for (const Case& c : cases) {
        std::wstring path = c.path;
        const bool changed = IS::AdjustExtension(path, IS::GetContentExtension(c.kind));
        EXPECT_EQ(path, c.result) << c.path;
        EXPECT_EQ(changed, path != c.path) << c.path;
    }
}

} // namespace
