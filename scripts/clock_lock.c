/* Keeps the soak's fake clock usable when the tracker is ended by force.
 *
 * The fake-time library guards its shared state with a named semaphore that every program
 * of the run takes around each clock reading. A tracker ended while holding it leaves it
 * taken for good, and every other program of the run (the soak itself) waits for ever.
 * A reading holds it for microseconds, so a semaphore seen taken at every look for three
 * seconds has no living holder: this program gives it back and says so.
 *
 * Usage: clock_lock <semaphore name> <process number to watch>; ends with that process. */
#include <fcntl.h>
#include <semaphore.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s <semaphore name> <process number>\n", argv[0]);
    return 2;
  }
  sem_t* lock = sem_open(argv[1], 0);
  if (lock == SEM_FAILED) {
    perror("clock_lock: sem_open");
    return 1;
  }
  const pid_t watched = (pid_t)atol(argv[2]);
  int takenLooks = 0, freed = 0;
  while (kill(watched, 0) == 0) {
    int value = 1;
    sem_getvalue(lock, &value);
    takenLooks = value <= 0 ? takenLooks + 1 : 0;
    if (takenLooks >= 3 * 4) {
      sem_post(lock);
      ++freed;
      printf("clock lock left taken by an ended program: given back (%d so far)\n", freed);
      fflush(stdout);
      takenLooks = 0;
    }
    usleep(250 * 1000);
  }
  printf("clock lock given back %d times\n", freed);
  return 0;
}
