// Everything a provider uses from the framework.
#ifndef CIMPLE_CIMPLE_H
#define CIMPLE_CIMPLE_H

#include <cimple/Array.h>
#include <cimple/Auto_Mutex.h>
#include <cimple/Datetime.h>
#include <cimple/flags.h>
#include <cimple/Instance.h>
#include <cimple/Instance_Map.h>
#include <cimple/Meta_Class.h>
#include <cimple/Meta_Feature.h>
#include <cimple/Meta_Method.h>
#include <cimple/Meta_Property.h>
#include <cimple/Meta_Reference.h>
#include <cimple/Meta_Repository.h>
#include <cimple/Meta_Value.h>
#include <cimple/Mutex.h>
#include <cimple/Property.h>
#include <cimple/Provider.h>
#include <cimple/Registration.h>
#include <cimple/String.h>
#include <cimple/Thread.h>
#include <cimple/Type.h>
#include <cimple/char16.h>

#endif
