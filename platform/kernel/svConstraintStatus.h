// Working status of a geometry update: 0 means no failure, 1 means failure.
#ifndef svConstraintStatus_h
#define svConstraintStatus_h

typedef int svConstraintStatus;

#endif
