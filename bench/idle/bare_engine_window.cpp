// A bare engine window, the yardstick of the player's drawing cost: a plain
// toolkit window holding one engine view that shows one page, with nothing of
// the program's own in the path.
//
//   bare_engine_window URL WIDTH HEIGHT
//
// It runs until its window is closed or the process is ended.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bare_engine_window URL WIDTH HEIGHT\n");
        return 2;
    }
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "bare_engine_window: no X display\n");
        return 1;
    }
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), std::atoi(argv[2]), std::atoi(argv[3]));
    GtkWidget* view = webkit_web_view_new();
    gtk_container_add(GTK_CONTAINER(window), view);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), argv[1]);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
