// Keeps the handheld's display from blanking: asks its mode-control service
// on the system bus to pause blanking, every five seconds.
#pragma once

void pysyhereilla();
