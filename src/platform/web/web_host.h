// Starting the web host; the page (web/index.html) has the canvas it draws
// into and the dialog its message boxes show in.
#pragma once

void web_host_start();
