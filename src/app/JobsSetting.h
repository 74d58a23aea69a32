#pragma once

namespace qvr {

// How many files the window converts at once: the person's last choice, kept with the user's
// settings; one per processor core without a choice.
int RememberedJobs();
void RememberJobs(int jobs);
// The most files the Jobs menu offers at once: eight, or one per core where there are more.
int MostJobsOffered();

}  // namespace qvr
