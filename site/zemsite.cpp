// The sample content server program: zemsite [--port N] [--root FOLDER] [--test-routes]
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "site/sample_server.h"

int main(int argc, char** argv) {
    zem::site::ServerOptions options;
    int port = 8080;
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        if (argument == "--port" && index + 1 < argc) {
            port = std::atoi(argv[++index]);
        } else if (argument == "--root" && index + 1 < argc) {
            options.contentFolder = argv[++index];
        } else if (argument == "--test-routes") {
            options.testRoutes = true;
        } else {
            std::fprintf(stderr, "usage: zemsite [--port N] [--root FOLDER] [--test-routes]\n");
            return 2;
        }
    }
    if (port <= 0 || port > 65535) {
        std::fprintf(stderr, "zemsite: bad port\n");
        return 2;
    }
    zem::site::SampleServer server(options);
    // Says it serves only once it listens: whoever waits for the line (the
    // start script) can rely on it.
    bool listening = false;
    const bool served = server.Run(port, [&] {
        listening = true;
        std::printf("zemsite: serving %s on http://127.0.0.1:%d\n", options.contentFolder.c_str(), port);
        std::fflush(stdout);
    });
    if (!listening) {
        const int reason = errno;  // the failed bind's, when the library kept it
        std::fprintf(stderr, "zemsite: cannot listen on 127.0.0.1:%d%s%s\n", port, reason != 0 ? ": " : "",
                     reason != 0 ? std::strerror(reason) : "");
        return 1;
    }
    return served ? 0 : 1;
}
