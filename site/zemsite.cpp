// The sample content server program: zemsite [--port N] [--root FOLDER] [--test-routes]
#include <cstdio>
#include <cstdlib>
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
    std::printf("zemsite: serving %s on http://127.0.0.1:%d\n", options.contentFolder.c_str(),
                port);
    std::fflush(stdout);
    if (!server.Run(port)) {
        std::fprintf(stderr, "zemsite: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    return 0;
}
