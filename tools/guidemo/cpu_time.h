// Processor time the process has used so far, in seconds.
#pragma once
double ProcessCpuSeconds();
