#pragma once

#include "app/Errors.h"

// The page canvas cannot work: no printer to take the page geometry from.
class EPrevError : public EKelmoError
{
public:
    using EKelmoError::EKelmoError;
};
