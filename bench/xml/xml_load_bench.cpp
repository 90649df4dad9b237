// Times XMLDocument::LoadData and Serialize on a configuration-like document of about
// 1 MB: without a host, and with a host that does nothing on each turn it gets.
#include "platform/host.h"
#include "xml/xml_document.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using namespace parcelo;

class IdleHost : public Host {
public:
    void processEvents() override { ++turns; }
    long turns = 0;

protected:
    Answer showMessage(Question, const std::string&, Buttons, Icon, const std::string&) override
    {
        return Answer::Ok;
    }
};

// Groups of option elements like those of config.xml, with text and blank lines between.
std::string configLikeDocument(std::size_t targetBytes)
{
    std::string text = "<Parcelo>\r\n";
    for (int group = 0; text.size() < targetBytes; ++group) {
        text += "  <Group id=\"" + std::to_string(group) + "\">\r\n";
        for (int item = 0; item < 8; ++item) {
            text += "    <Folders lastSplitFile=\"C:\\Data\\report" + std::to_string(item)
                    + ".doc\" lastSplitFolder=\"C:\\Data\\\" splitFolder=\"D:\\PcxBr\" "
                      "auto=\"true\" level=\"9\"/>\r\n";
        }
        text += "    notes &amp; remarks\r\n  </Group>\r\n\r\n";
    }
    return text + "</Parcelo>\r\n";
}

double milliseconds(std::chrono::steady_clock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}

} // namespace

int main()
{
    const std::string text = configLikeDocument(1 << 20);
    using Clock = std::chrono::steady_clock;

    auto start = Clock::now();
    XMLDocument plain;
    plain.LoadData(text);
    const double load = milliseconds(Clock::now() - start);

    start = Clock::now();
    const std::string written = plain.Serialize();
    const double serialize = milliseconds(Clock::now() - start);

    IdleHost host;
    start = Clock::now();
    XMLDocument hosted;
    hosted.LoadData(text, &host);
    const double hostedLoad = milliseconds(Clock::now() - start);

    std::printf("document: %zu bytes, %zu groups\n", text.size(), plain.NewEnum().size());
    std::printf("LoadData without a host: %8.1f ms\n", load);
    std::printf("LoadData with an idle host: %8.1f ms (%ld turns)\n", hostedLoad, host.turns);
    std::printf("Serialize: %8.1f ms (%zu bytes)\n", serialize, written.size());
    return 0;
}
